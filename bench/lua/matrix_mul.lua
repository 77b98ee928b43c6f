-- Products of two 80 x 80 matrices of doubles, 10 times (BM_ScriptProgram/matrix_mul).
local function main()
    local n = 80
    local a, b, c = {}, {}, {}
    for i = 1, n do
        a[i], b[i], c[i] = {}, {}, {}
        for j = 1, n do
            a[i][j] = ((i - 1) + (j - 1)) * 0.5
            b[i][j] = (((i - 1) * 2) - (j - 1)) * 0.25
            c[i][j] = 0.0
        end
    end
    local trace = 0.0
    for round = 1, 10 do
        for i = 1, n do
            for j = 1, n do
                local s = 0.0
                for k = 1, n do s = s + (a[i][k] * b[k][j]) end
                c[i][j] = s
            end
        end
        for i = 1, n do trace = trace + c[i][i] end
        a[1][1] = a[1][1] + 1.0
    end
    return trace
end
local trace = main()
assert(trace > 29229999.9 and trace < 29230000.1)
