-- Objects made by a constructor, one each round, 1,000,000 rounds: each is read back and
-- most are dropped, while every hundredth stays in a ring of 50 for a while
-- (BM_ScriptProgram/new_objects).
local function pair(x, y)
    return {x = x, y = y}
end
local function main()
    local sum = 0
    local kept = {}
    for i = 0, 999999 do
        local p = pair(i, i + 1)
        sum = (sum + p.x + p.y) % 1000003
        if i % 100 == 0 then kept[(i // 100) % 50] = p end
    end
    for i = 0, 49 do sum = (sum + kept[i].x) % 1000003 end
    return sum
end
assert(main() == 872362)
