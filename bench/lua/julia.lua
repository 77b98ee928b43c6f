-- The points of a 300 x 200 grid that stay in the Julia set of c = -0.8 + 0.156i for 120
-- iterations, with the escape radius checked each step (BM_ScriptProgram/julia).
local function main()
    local inside = 0
    local cx = -0.8
    local cy = 0.156
    for py = 0, 199 do
        for px = 0, 299 do
            local x = (3.0 * px) / 300.0 - 1.5
            local y = (2.0 * py) / 200.0 - 1.0
            local it = 0
            local escaped = 0
            while it < 120 and escaped == 0 do
                local xx = x * x
                local yy = y * y
                if xx + yy > 4.0 then
                    escaped = 1
                else
                    y = 2.0 * x * y + cy
                    x = xx - yy + cx
                    it = it + 1
                end
            end
            if escaped == 0 then inside = inside + 1 end
        end
    end
    return inside
end
assert(main() == 6868)
