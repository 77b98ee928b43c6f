-- Double arithmetic (BM_ScriptProgram/double_arith).
local function main()
    local x, y = 1.5, 0.0
    for i = 0, 2999999 do
        x = x * 0.9999999 + 0.25
        y = y + x / 3.5 - 0.125
    end
    return y
end
local y = main()
assert(y > 291559560705.19 and y < 291559560705.2)
