-- Function calls without arguments (BM_ScriptProgram/calls_0args).
local function zero()
    return 1
end
local function main()
    local s = 0
    for i = 0, 2999999 do
        s = s + zero()
    end
    return s
end
assert(main() == 3000000)
