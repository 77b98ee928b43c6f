-- A million calls of math.sin (BM_ScriptProgram/math_sin_calls).
local function main()
    local total = 0.0
    for i = 0, 999999 do
        total = total + math.sin(i * 0.001)
    end
    return total
end
assert(math.abs(main() - 437.20744747) <= 0.001)
