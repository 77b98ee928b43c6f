-- 100 objects whose members a function updates, 20000 rounds (BM_ScriptProgram/object_update).
local function particle(x, y, vx, vy)
    return {x = x, y = y, vx = vx, vy = vy, hits = 0}
end
local function move(p)
    p.x = p.x + p.vx
    p.y = p.y + p.vy
    if p.x < 0 or p.x > 1000 then
        p.vx = 0 - p.vx
        p.hits = p.hits + 1
    end
    if p.y < 0 or p.y > 1000 then
        p.vy = 0 - p.vy
        p.hits = p.hits + 1
    end
end
local function main()
    local ps = {}
    local seed = 7
    for i = 0, 99 do
        seed = ((seed * 75) + 74) % 65537
        ps[i] = particle(seed % 1000, (seed * 7) % 1000, (seed % 13) - 6, (seed % 11) - 5)
    end
    for k = 1, 20000 do
        for i = 0, 99 do move(ps[i]) end
    end
    local total = 0
    for i = 0, 99 do total = total + ps[i].hits end
    return total
end
assert(main() == 10892)
