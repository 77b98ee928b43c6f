-- Heap sort of 30000 pseudo-random numbers: sifting down in a While loop with a compound
-- condition, left by Break (BM_ScriptProgram/heap_sort).
local function sift(a, start, finish)
    local root = start
    while root * 2 + 1 <= finish and root >= 0 do
        local child = root * 2 + 1
        if child + 1 <= finish then
            if a[child] < a[child + 1] then child = child + 1 end
        end
        if a[root] >= a[child] then break end
        local t = a[root]
        a[root] = a[child]
        a[child] = t
        root = child
    end
end
local function main()
    local n = 30000
    local a = {}
    local seed = 777
    for i = 0, n - 1 do
        seed = (seed * 75 + 74) % 65537
        a[i] = seed
    end
    for start = (n - 2) // 2, 0, -1 do sift(a, start, n - 1) end
    for finish = n - 1, 1, -1 do
        local t = a[0]
        a[0] = a[finish]
        a[finish] = t
        sift(a, 0, finish - 1)
    end
    for i = 1, n - 1 do
        if a[i - 1] > a[i] then error("not sorted") end
    end
    local check = 0
    for i = 0, n - 1, 50 do check = (check + a[i] * (i % 7 + 1)) % 1000003 end
    return check
end
assert(main() == 294908)
