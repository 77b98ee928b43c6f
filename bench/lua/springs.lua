-- A chain of 10 masses joined by springs, 40000 steps of a function with fifteen locals
-- over arrays of doubles (BM_ScriptProgram/springs).
local px, pv, pm = {}, {}, {}
local function step(n, dt, k, rest, damping)
    for i = 1, n - 1 do
        local left = px[i]
        local right = px[i + 1]
        local stretch = right - left - rest
        local force = k * stretch
        local dv = pv[i + 1] - pv[i]
        local drag = damping * dv
        local total = force + drag
        local mi = pm[i]
        local mj = pm[i + 1]
        local ai = total / mi
        local aj = total / mj
        pv[i] = pv[i] + ai * dt
        pv[i + 1] = pv[i + 1] - aj * dt
    end
    for i = 1, n do px[i] = px[i] + pv[i] * dt end
end
local function main()
    local n = 10
    for i = 1, n do
        px[i] = (i - 1) * 1.2
        pv[i] = 0.0
        pm[i] = 1.0 + (i - 1) * 0.25
    end
    pv[1] = -0.5
    pv[n] = 0.5
    for s = 1, 40000 do step(n, 0.002, 40.0, 1.0, 0.05) end
    local sum = 0.0
    for i = 1, n do sum = sum + px[i] * i end
    return sum
end
local sum = main()
assert(sum > 628.1002704 and sum < 628.1002706)
