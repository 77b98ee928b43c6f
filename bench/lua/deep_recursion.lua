-- Recursion a thousand levels deep, each level adding its callee's value to its own, 1,000
-- times (BM_ScriptProgram/deep_recursion).
local function sum(n)
    local total = n % 7
    if n == 0 then return 0 end
    total = total + sum(n - 1)
    return total
end
local function main()
    local total = 0
    for i = 0, 999 do
        total = (total + sum(1000) + i) % 1000003
    end
    return total
end
assert(main() == 502491)
