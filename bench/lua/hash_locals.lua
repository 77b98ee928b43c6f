-- A checksum kept in sixteen locals that rotate through each round, with a variable
-- declared in the loop body, 2,000,000 rounds (BM_ScriptProgram/hash_locals).
local function main()
    local h0, h1, h2, h3, h4, h5, h6, h7 = 1, 2, 3, 4, 5, 6, 7, 8
    local h8, h9, h10, h11, h12, h13, h14, h15 = 9, 10, 11, 12, 13, 14, 15, 16
    for i = 0, 1999999 do
        local mixed = (h0 * 31 + h5 * 7 + h11 + i) % 1000003
        h0 = h1 h1 = h2 h2 = h3 h3 = h4 h4 = h5 h5 = h6 h6 = h7 h7 = h8
        h8 = h9 h9 = h10 h10 = h11 h11 = h12 h12 = h13 h13 = h14 h14 = h15
        h15 = mixed
    end
    return (h0 + h3 + h7 + h9 + h12 + h15) % 1000003
end
assert(main() == 257789)
