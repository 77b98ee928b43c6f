-- Calls whose arguments are calls, six calls a round (BM_ScriptProgram/nested_calls).
local function add(a, b) return a + b end
local function mul(a, b) return a * b end
local function max(a, b)
    if a > b then return a end
    return b
end
local function min(a, b)
    if a < b then return a end
    return b
end
local function main()
    local s = 0
    for i = 0, 1999999 do
        s = add(s, min(mul(i % 100, 3), max(add(i % 7, 50), mul(i % 13, 20)))) % 1000003
    end
    return s
end
assert(main() == 632093)
