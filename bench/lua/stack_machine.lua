-- A small stack machine running a loop of 14 instructions 40000 times, eight times over:
-- the sum of i * i % 7 for i from 40000 down to 1 (BM_ScriptProgram/stack_machine).
local code, stack, reg = {}, {}, {}

local function run()
    local pc, sp, running = 0, 0, 1
    while running == 1 do
        local op = code[pc]
        if op == 0 then
            stack[sp] = code[pc + 1]
            sp = sp + 1
            pc = pc + 2
        elseif op == 1 then
            stack[sp] = reg[code[pc + 1]]
            sp = sp + 1
            pc = pc + 2
        elseif op == 2 then
            sp = sp - 1
            reg[code[pc + 1]] = stack[sp]
            pc = pc + 2
        elseif op == 3 then
            sp = sp - 1
            stack[sp - 1] = stack[sp - 1] + stack[sp]
            pc = pc + 1
        elseif op == 4 then
            sp = sp - 1
            stack[sp - 1] = stack[sp - 1] - stack[sp]
            pc = pc + 1
        elseif op == 5 then
            sp = sp - 1
            stack[sp - 1] = stack[sp - 1] * stack[sp]
            pc = pc + 1
        elseif op == 6 then
            sp = sp - 1
            if stack[sp] ~= 0 then
                pc = code[pc + 1]
            else
                pc = pc + 2
            end
        elseif op == 7 then
            sp = sp - 1
            stack[sp - 1] = stack[sp - 1] % stack[sp]
            pc = pc + 1
        else
            running = 0
        end
    end
    return reg[1]
end

local function main()
    local program = {0, 40000, 2, 0, 0, 0, 2, 1,           -- r0 = 40000; r1 = 0
                     1, 1, 1, 0, 1, 0, 5, 0, 7, 7, 3, 2, 1, -- r1 = r1 + r0 * r0 % 7
                     1, 0, 0, 1, 4, 2, 0,                   -- r0 = r0 - 1
                     1, 0, 6, 8, 8}                          -- loop while r0 != 0; halt
    for k = 1, #program do code[k - 1] = program[k] end
    stack[0] = 0
    reg[0] = 0
    reg[1] = 0
    local total = 0
    for k = 1, 8 do total = total + run() end
    return total
end
assert(main() == 640008)
