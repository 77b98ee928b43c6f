-- The placements of 10 queens on a 10 x 10 board, by recursion with a While loop of
-- compound condition (BM_ScriptProgram/queens).
local cols = {}

local function place(row, n)
    if row == n then return 1 end
    local count = 0
    for col = 0, n - 1 do
        local ok = 1
        local r = 0
        while r < row and ok == 1 do
            if cols[r] == col then ok = 0 end
            if cols[r] - col == row - r then ok = 0 end
            if col - cols[r] == row - r then ok = 0 end
            r = r + 1
        end
        if ok == 1 then
            cols[row] = col
            count = count + place(row + 1, n)
        end
    end
    return count
end

cols[0] = 0
assert(place(0, 10) == 724)
