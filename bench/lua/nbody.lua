-- Five bodies pulling at each other, 150000 steps of a function with many locals
-- (BM_ScriptProgram/nbody).
local bx, by, bvx, bvy, bm = {}, {}, {}, {}, {}

local function step(n, dt)
    for i = 0, n - 1 do
        local xi = bx[i]
        local yi = by[i]
        local mi = bm[i]
        for j = i + 1, n - 1 do
            local dx = xi - bx[j]
            local dy = yi - by[j]
            local d2 = ((dx * dx) + (dy * dy)) + 0.01
            local mag = dt / (d2 * d2)
            local mj = bm[j]
            local ax = dx * mag
            local ay = dy * mag
            bvx[i] = bvx[i] - (ax * mj)
            bvy[i] = bvy[i] - (ay * mj)
            bvx[j] = bvx[j] + (ax * mi)
            bvy[j] = bvy[j] + (ay * mi)
        end
    end
    for i = 0, n - 1 do
        bx[i] = bx[i] + (dt * bvx[i])
        by[i] = by[i] + (dt * bvy[i])
    end
end

local function main()
    for i = 0, 4 do
        bx[i] = i * 1.5
        by[i] = (i * 0.5) - 1.0
        bvx[i] = 0.0
        bvy[i] = (i - 2) * 0.01
        bm[i] = 1.0 + (i * 0.1)
    end
    for s = 1, 150000 do step(5, 0.001) end
    local sum = 0.0
    for i = 0, 4 do sum = sum + (bx[i] + by[i]) end
    return sum
end
local sum = main()
assert(sum > 28.5972467594 and sum < 28.5972467596)
