-- Function calls with three arguments (BM_ScriptProgram/calls_3args).
local function three(a, b, c)
    return a + b - c
end
local function main()
    local s = 0
    for i = 0, 2999999 do
        s = s + three(i, 2, i)
    end
    return s
end
assert(main() == 6000000)
