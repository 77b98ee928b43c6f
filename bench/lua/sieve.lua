-- The primes up to 2,000,000 by the sieve of Eratosthenes over an array of 2,000,001
-- elements (BM_ScriptProgram/sieve).
local function main()
    local n = 2000000
    local flags = {}
    for i = 0, n do flags[i] = 1 end
    local i = 2
    while i * i <= n do
        if flags[i] == 1 then
            for j = i * i, n, i do flags[j] = 0 end
        end
        i = i + 1
    end
    local count = 0
    for k = 2, n do
        if flags[k] == 1 then count = count + 1 end
    end
    return count
end
assert(main() == 148933)
