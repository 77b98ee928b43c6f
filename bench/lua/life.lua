-- A 64 x 64 cellular grid on a torus, 300 generations of the game of life
-- (BM_ScriptProgram/life).
local function main()
    local n = 64
    local seed = 42
    local g, h = {}, {}
    for i = 1, n do
        g[i], h[i] = {}, {}
        for j = 1, n do
            seed = (seed * 75 + 74) % 65537
            g[i][j] = seed % 3 == 0 and 1 or 0
            h[i][j] = 0
        end
    end
    for gen = 1, 300 do
        for i = 1, n do
            local up = (i + n - 2) % n + 1
            local down = i % n + 1
            for j = 1, n do
                local left = (j + n - 2) % n + 1
                local right = j % n + 1
                local count = g[up][left] + g[up][j] + g[up][right] + g[i][left] + g[i][right] +
                                  g[down][left] + g[down][j] + g[down][right]
                local alive = g[i][j]
                if count == 3 then
                    h[i][j] = 1
                elseif count == 2 and alive == 1 then
                    h[i][j] = 1
                else
                    h[i][j] = 0
                end
            end
        end
        g, h = h, g
    end
    local total = 0
    for i = 1, n do
        for j = 1, n do total = total + g[i][j] end
    end
    return total
end
assert(main() == 301)
