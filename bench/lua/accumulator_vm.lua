-- A small accumulator machine whose instructions an If / Else If chain decodes: a program
-- of 13 instructions that sums i * i % 97 for 40000 values, run four times
-- (BM_ScriptProgram/accumulator_vm).
local code = {}
local size = 0
local function emit(op, argument)
    code[size] = op
    code[size + 1] = argument
    size = size + 2
end
local function run()
    local pc = 0
    local acc = 0
    local mem = {0, 0, 0, 0}
    local running = 1
    while running == 1 do
        local op = code[pc]
        local arg = code[pc + 1]
        pc = pc + 2
        if op == 0 then
            acc = arg
        elseif op == 1 then
            acc = mem[arg]
        elseif op == 2 then
            mem[arg] = acc
        elseif op == 3 then
            acc = acc + mem[arg]
        elseif op == 4 then
            acc = acc * mem[arg]
        elseif op == 5 then
            acc = acc % arg
        elseif op == 6 then
            acc = acc - arg
        elseif op == 7 then
            if acc ~= 0 then pc = arg end
        else
            running = 0
        end
    end
    return mem[2]
end
local function main()
    emit(0, 40000) emit(2, 1)        -- n = 40000
    emit(0, 0) emit(2, 2)            -- sum = 0
    emit(1, 1) emit(4, 1) emit(5, 97) -- t = n * n % 97
    emit(3, 2) emit(2, 2)            -- sum = sum + t
    emit(1, 1) emit(6, 1) emit(2, 1) -- n = n - 1
    emit(7, 8)                       -- loop while n != 0
    emit(8, 0)
    local total = 0
    for k = 1, 4 do total = total + run() end
    return total
end
assert(main() == 7679712)
