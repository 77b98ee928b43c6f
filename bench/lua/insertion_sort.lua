-- Insertion sort of 6000 pseudo-random numbers (BM_ScriptProgram/insertion_sort).
local function main()
    local n = 6000
    local seed = 12345
    local a = {}
    for i = 0, n - 1 do
        seed = ((seed * 75) + 74) % 65537
        a[i] = seed
    end
    for i = 1, n - 1 do
        local key = a[i]
        local j = i - 1
        while j >= 0 do
            if a[j] <= key then break end
            a[j + 1] = a[j]
            j = j - 1
        end
        a[j + 1] = key
    end
    for i = 1, n - 1 do assert(a[i - 1] <= a[i]) end
    local check = 0
    for i = 0, n - 1, 100 do check = (check + a[i]) % 1000003 end
    return check
end
assert(main() == 910779)
