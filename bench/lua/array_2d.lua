-- Reading and writing the items of a 100 x 100 array, 300 times (BM_ScriptProgram/array_2d).
local function main()
    local m = {}
    for i = 1, 100 do
        m[i] = {}
        for j = 1, 100 do m[i][j] = 0 end
    end
    for p = 1, 300 do
        for i = 1, 100 do
            for j = 1, 100 do
                m[i][j] = m[i][j] + i + j
            end
        end
    end
    return m[100][100]
end
assert(main() == 60000)
