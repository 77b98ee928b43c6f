-- 60 accounts whose members the functions Deposit, Withdraw and Transfer update, 200000
-- transfers between accounts chosen by a generator (BM_ScriptProgram/accounts).
local function account(id, balance)
    return {id = id, balance = balance, deposits = 0, refused = 0}
end
local function deposit(a, amount)
    a.balance = a.balance + amount
    a.deposits = a.deposits + 1
end
local function withdraw(a, amount)
    if a.balance < amount then
        a.refused = a.refused + 1
        return 0
    end
    a.balance = a.balance - amount
    return 1
end
local function transfer(from, to, amount)
    if withdraw(from, amount) == 1 then deposit(to, amount) end
end
local function main()
    local accounts = {}
    for i = 0, 59 do accounts[i] = account(i, 1000 + i * 10) end
    local seed = 3
    for k = 1, 200000 do
        seed = (seed * 75 + 74) % 65537
        local from = accounts[seed % 60]
        local to = accounts[(seed // 60) % 60]
        transfer(from, to, seed % 300)
    end
    local check = 0
    for i = 0, 59 do
        local a = accounts[i]
        check = (check + a.balance * (i + 1) + a.deposits + a.refused * 7) % 1000003
    end
    return check
end
assert(main() == 677985)
