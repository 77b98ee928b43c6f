-- While loops with compound conditions: the Collatz steps of the numbers up to 100000
-- (BM_ScriptProgram/while_compound).
local function main()
    local total = 0
    local longest = 0
    local n = 1
    while n <= 100000 and total >= 0 do
        local x = n
        local steps = 0
        while x ~= 1 and steps < 1000 do
            if x % 2 == 0 then
                x = x // 2
            else
                x = (3 * x) + 1
            end
            steps = steps + 1
        end
        total = total + steps
        if steps > longest then longest = steps end
        n = n + 1
    end
    return total + longest
end
assert(main() == 10754190)
