-- A 48 x 48 grid of integer temperatures on a torus, 250 steps of diffusion: each cell
-- becomes a weighted mean of itself and its four neighbours (BM_ScriptProgram/heat_grid).
local function main()
    local n = 48
    local seed = 99
    local g, h = {}, {}
    for i = 1, n do
        g[i], h[i] = {}, {}
        for j = 1, n do
            seed = (seed * 75 + 74) % 65537
            g[i][j] = seed % 1000
            h[i][j] = 0
        end
    end
    for step = 1, 250 do
        for i = 1, n do
            local up = (i + n - 2) % n + 1
            local down = i % n + 1
            for j = 1, n do
                local left = (j + n - 2) % n + 1
                local right = j % n + 1
                h[i][j] = (4 * g[i][j] + g[up][j] + g[down][j] + g[i][left] + g[i][right]) // 8
            end
        end
        g, h = h, g
    end
    local total = 0
    for i = 1, n do
        for j = 1, n do total = total + g[i][j] * ((i + j) % 5) end
    end
    return total
end
assert(main() == 1955064)
