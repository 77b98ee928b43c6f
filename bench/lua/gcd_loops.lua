-- Greatest common divisors by repeated subtraction, in While loops with compound
-- conditions, of 100000 pairs (BM_ScriptProgram/gcd_loops).
local function main()
    local total = 0
    local ones = 0
    local i = 1
    while i <= 100000 and total >= 0 do
        local a = i % 1000 + 1
        local b = (i * 7) % 1013 + 1
        while a ~= b and a > 0 and b > 0 do
            if a > b then a = a - b else b = b - a end
        end
        total = total + a
        if a == 1 then ones = ones + 1 end
        i = i + 1
    end
    return total + ones
end
assert(main() == 493383)
