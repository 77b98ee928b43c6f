-- A million calls of a matrix's multiply method (BM_ScriptProgram/matrix_mul_calls): rows 0
-- to 2 of a 4 x 4 matrix in a table of 12 numbers, multiplied as affine transforms as
-- Matrix.MulMatrix does, by a quarter turn about Z.
local Matrix = {}
Matrix.__index = Matrix

function Matrix.identity()
    return setmetatable({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0}, Matrix)
end

function Matrix.rotationZ(angle)
    local c, s = math.cos(angle), math.sin(angle)
    return setmetatable({c, -s, 0, 0, s, c, 0, 0, 0, 0, 1, 0}, Matrix)
end

local r = {}

function Matrix:mul(b)
    for row = 0, 2 do
        local a0, a1, a2, a3 = self[4 * row + 1], self[4 * row + 2], self[4 * row + 3], self[4 * row + 4]
        for col = 1, 4 do
            r[4 * row + col] = a0 * b[col] + a1 * b[4 + col] + a2 * b[8 + col]
        end
        r[4 * row + 4] = r[4 * row + 4] + a3
    end
    for i = 1, 12 do
        self[i] = r[i]
    end
end

local function main()
    local m = Matrix.identity()
    local turn = Matrix.rotationZ(1.5707963267948966)
    for _ = 1, 1000000 do
        m:mul(turn)
    end
    return math.abs(m[1] - 1) + math.abs(m[2]) + math.abs(m[5])
end
assert(main() <= 0.1)
