-- The points of a 240 x 160 grid over the Mandelbrot set that stay bounded for 200
-- iterations (BM_ScriptProgram/mandelbrot).
local function main()
    local inside = 0
    for py = 0, 159 do
        local y0 = ((2.0 * py) / 160.0) - 1.0
        for px = 0, 239 do
            local x0 = ((3.0 * px) / 240.0) - 2.0
            local x, y, x2, y2, it = 0.0, 0.0, 0.0, 0.0, 0
            while x2 + y2 <= 4.0 and it < 200 do
                y = ((2.0 * x) * y) + y0
                x = (x2 - y2) + x0
                x2 = x * x
                y2 = y * y
                it = it + 1
            end
            if it == 200 then inside = inside + 1 end
        end
    end
    return inside
end
assert(main() == 9798)
