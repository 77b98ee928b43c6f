-- Calls nested three deep as arguments of other calls: eight calls a round, 600000
-- rounds (BM_ScriptProgram/call_args).
local function sq(x) return x * x end
local function half(x) return x // 2 end
local function mix(a, b, c) return (a * 3 + b * 5 + c) % 10007 end
local function clamp(x, lo, hi)
    if x < lo then return lo end
    if x > hi then return hi end
    return x
end
local function diff(a, b)
    if a > b then return a - b end
    return b - a
end
local function main()
    local acc = 0
    for i = 0, 599999 do
        acc = (acc + clamp(mix(sq(i % 50), half(i % 999), diff(i % 77, acc % 91)), 100, 9000)) % 1000003
    end
    return acc
end
assert(main() == 144350)
