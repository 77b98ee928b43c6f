-- Euler's totient of every number up to 1,000,000 by a sieve over an array of 1,000,001
-- elements, and their sum (BM_ScriptProgram/totient).
local function main()
    local n = 1000000
    local phi = {}
    for i = 0, n do phi[i] = i end
    for p = 2, n do
        if phi[p] == p then
            for m = p, n, p do phi[m] = phi[m] - phi[m] // p end
        end
    end
    local total = 0
    for i = 1, n do total = (total + phi[i]) % 1000003 end
    return total
end
assert(main() == 640506)
