-- Lines of comma-separated numbers built piece by piece, each line measured and searched
-- for its last comma: 20000 lines of 8 fields (BM_ScriptProgram/csv_text).
local function main()
    local total = 0
    local commas = 0
    for row = 0, 19999 do
        local line = "" .. row
        for col = 1, 8 do
            line = line .. "," .. ((row * col) % 1000)
        end
        total = total + #line
        commas = commas + (#line - (string.find(line, ",[^,]*$") - 1))
    end
    return total + commas
end
assert(main() == 788650)
