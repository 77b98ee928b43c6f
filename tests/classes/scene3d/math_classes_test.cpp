#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <new>
#include <random>
#include <string>

#include "classes/scene3d/math_class.h"
#include "classes/scene3d/matrix_class.h"
#include "classes/scene3d/vector_class.h"
#include "script/interpreter/interpretor.h"
#include "script/script_runner.h"
#include "script/values/value.h"

namespace {

// ---- The generator and the snapped angles ----------------------------------------------------

struct Draw {
    int32_t s1;
    int32_t s2;
    double r;
};

// Words no seed gives, as a corrupted state would hold them: every step still gives what the
// 32-bit arithmetic of the generator gives (the values come from a model in exact integers
// cut to 32 bits), and the sanitizers see no overflow on the way.
TEST(MathRandom, HostileWordsStepAsIn32BitArithmetic) {
    const struct {
        int32_t s1, s2;
        Draw draws[3];
    } cases[] = {
        {-1,
         std::numeric_limits<int32_t>::min(),
         {{2147443549, 2137351091, 0.0046996671124753999},
          {546363367, 12935472, 0.2483967270419635},
          {801095798, 236793869, 0.2627735698506477}}},
        {std::numeric_limits<int32_t>::max(),
         std::numeric_limits<int32_t>::max(),
         {{3361176, 10091616, 0.99686588176957869},
          {1350115558, 478709063, 0.40578028129014354},
          {1427426984, 1954762666, 0.75444016799304403}}},
        {2147483562,
         2147483398,
         {{2147443549, 2147442707, 3.9208681460000002e-07},
          {546363367, 491644535, 0.025480442443601602},
          {801095798, 44073136, 0.35251615691638061}}},
    };
    for (const auto& c : cases) {
        MathRandom random;
        random.s1 = c.s1;
        random.s2 = c.s2;
        for (const Draw& draw : c.draws) {
            const double r = random.Next();
            EXPECT_EQ(random.s1, draw.s1);
            EXPECT_EQ(random.s2, draw.s2);
            EXPECT_EQ(r, draw.r);
        }
    }
}

TEST(MathRandom, TheSeedsBitsAreDealtOutAndBit31Dropped) {
    MathRandom random;
    random.Seed(0x55555555);
    EXPECT_EQ(random.s1, 0xFFFF);
    EXPECT_EQ(random.s2, 0);
    random.Seed(int32_t(0xAAAAAAAAu));
    EXPECT_EQ(random.s1, 0);
    EXPECT_EQ(random.s2, 0x7FFF);
    random.Seed(-1);
    EXPECT_EQ(random.s1, 0xFFFF);
    EXPECT_EQ(random.s2, 0x7FFF);
}

// The reduction must give fmod's bits: a remainder one ulp off moves a snapped angle.
TEST(MathAngles, TurnsRemainderHasTheBitsOfFmod) {
    const double kTurn = 6.283185307179586;
    auto same = [](double x) {
        const double expected = std::fmod(x, 6.283185307179586);
        const double got = TurnsRemainder(x);
        if (std::isnan(expected)) return std::isnan(got);
        return std::memcmp(&expected, &got, sizeof got) == 0;
    };
    std::mt19937_64 random(2024);
    for (int i = 0; i < 200000; ++i) {
        // Every exponent from the turn up to past the bound of the quick way, both signs.
        const double x = std::ldexp(1.0 + double(random() >> 11) * 0x1p-53, 2 + int(random() % 50));
        ASSERT_TRUE(same(x)) << x;
        ASSERT_TRUE(same(-x)) << -x;
    }
    // Whole numbers of turns and their neighbours, where the quotient rounds across a turn.
    for (double turns = 1; turns < 1e12; turns = turns * 3 + 1) {
        double x = turns * kTurn;
        for (int step = 0; step < 4; ++step) {
            ASSERT_TRUE(same(x)) << x;
            ASSERT_TRUE(same(-x)) << -x;
            ASSERT_TRUE(same(std::nextafter(x, 0.0))) << x;
            x = std::nextafter(x, 1e300);
        }
    }
    for (double x :
         {kTurn, -kTurn, 1099511627776.0, -1099511627776.0, 1e300, -1e300,
          std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
          std::numeric_limits<double>::quiet_NaN(), 1000.0, 999.999})
        EXPECT_TRUE(same(x)) << x;
}

TEST(MathAngles, SpecialAnglesAreExactAndHostileOnesSafe) {
    EXPECT_EQ(MathSin(3.141592653589793), 0.0);
    EXPECT_EQ(MathCos(1.5707963267948966), 0.0);
    EXPECT_EQ(MathCos(4.71238898038469), 0.0);
    EXPECT_EQ(MathSin(4.71238898038469), -1.0);
    EXPECT_EQ(MathTan(3.141592653589793), 0.0);
    // Tan has no snap at π/2: it is as large as the double makes it.
    EXPECT_GT(std::fabs(MathTan(1.5707963267948966)), 1e15);
    // A whole number of turns is reduced before the snap.
    EXPECT_EQ(MathSin(-6.283185307179586 * 3), 0.0);
    EXPECT_TRUE(std::isnan(MathSin(std::numeric_limits<double>::quiet_NaN())));
    EXPECT_TRUE(std::isnan(MathCos(std::numeric_limits<double>::infinity())));
    EXPECT_TRUE(std::isnan(MathTan(-std::numeric_limits<double>::infinity())));
    EXPECT_LE(std::fabs(MathSin(1e300)), 1.0);
}

// ---- Row 3 and w, which only other classes reach -----------------------------------------------

// Stands in for a class that hands out Matrices and Vectors (as Quaternion and World will),
// under the name of Quaternion for as long as a test runs.
constexpr uint32_t kProbeClassId = 73;

class Probe final : public CIBaseClassImpl {
public:
    Probe(CInterpretor* interpreter, const CClassRecord* record)
        : CIBaseClassImpl(interpreter, record, 1) {}
    void CallMethod(uint16_t methodId) override { CallMethodFromTable(*this, kMethods, methodId); }
    void Destroy(int) override { delete this; }
    void Create() override { Register(); }

    static const ScriptMethod<Probe> kMethods[5];

private:
    CInterpretor& In() { return *interpreter; }
    float Arg(uint32_t i) { return float(In().GetArgDouble(i)); }
    // MakeMatrix(a, b, c, d): the identity in rows 0 to 2, row 3 (a, b, c, d).
    void MakeMatrix() {
        float m[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, Arg(0), Arg(1), Arg(2), Arg(3)};
        In().GetResultSlot()->SetObject(CIMatrix::Make(In(), m), 1);
    }
    void Row3() {
        auto* matrix = static_cast<CIMatrix*>(In().GetArgObjectOfClass(0, CIMatrix::kClassId));
        std::string text;
        for (int i = 12; i < 16; ++i)
            text += (i > 12 ? " " : "") + std::to_string(int(matrix->m[i]));
        In().GetResultSlot()->SetString(text.c_str(), 0);
    }
    void MakeVector() {
        float v[4] = {Arg(0), Arg(1), Arg(2), Arg(3)};
        In().GetResultSlot()->SetObject(CIVector::Make(In(), v), 1);
    }
    void W() {
        auto* vector = static_cast<CIVector*>(In().GetArgObjectOfClass(0, CIVector::kClassId));
        In().GetResultSlot()->SetFloat(vector->v[3]);
    }
};

const ScriptMethod<Probe> Probe::kMethods[5] = {nullptr, &Probe::MakeMatrix, &Probe::Row3,
                                                &Probe::MakeVector, &Probe::W};

const MethodNameRow kProbeNames[] = {
    {kProbeClassId, "Quaternion", 0, 0},
    {1, "MakeMatrix", 0, 0},
    {2, "Row3", 0, 0},
    {3, "MakeVector", 0, 0},
    {4, "W", 0, 0},
    {0, nullptr, 0, 0},
};

CIBaseClassImpl* NewProbe(CInterpretor& interpreter, const CClassRecord* record) {
    return new (std::nothrow) Probe(&interpreter, record);
}

const ScriptClassInfo kProbeClass = {kProbeNames, NewProbe, 0, nullptr, 0, nullptr, nullptr};

class MatrixAndVector : public ::testing::Test {
protected:
    void SetUp() override {
        previous_ = GetScriptClassInfo(kProbeClassId);
        RegisterScriptClass(&kProbeClass);
    }
    void TearDown() override {
        if (previous_ != nullptr)
            RegisterScriptClass(previous_);
        else
            UnregisterScriptClass(kProbeClassId);
    }
    std::string Run(const std::string& source) {
        script_test::ScriptResult result = runner_.Run("q = New Quaternion();\n" + source);
        EXPECT_EQ(result.ok, 1) << "error " << result.code << " line " << result.line + 1;
        return result.output;
    }

private:
    script_test::ScriptRunner runner_;
    const ScriptClassInfo* previous_ = nullptr;
};

TEST_F(MatrixAndVector, ProductsTransposesAndInversesKeepRow3) {
    EXPECT_EQ(Run("m = q.MakeMatrix(1, 2, 3, 4);\n"
                  "m.MulMatrix(2, 0, 0, 0, 2, 0, 0, 0, 2); Print(q.Row3(m));\n"
                  "m.AddAngle(0.5, 0.25, 1); Print(q.Row3(m));\n"
                  "m.Transpose(); Print(q.Row3(m));\n"
                  "m.Invert(); Print(q.Row3(m));\n"
                  "m.Normalize(); Print(q.Row3(m));\n"
                  // Singular (a zero row): the engine gives its identity, all 16 elements,
                  // but row 3 stays.
                  "k = q.MakeMatrix(1, 2, 3, 4); k.Set(1, 0, 0); k.Invert();\n"
                  "Print(q.Row3(k), k.GetValue(1, 1));\n"),
              "1 2 3 4\n1 2 3 4\n1 2 3 4\n1 2 3 4\n1 2 3 4\n1 2 3 4 1\n");
}

TEST_F(MatrixAndVector, TheReaderLeavesRow3ButMatricesCarryAllSixteen) {
    EXPECT_EQ(
        Run("m = q.MakeMatrix(1, 2, 3, 4);\n"
            "n = q.MakeMatrix(10, 20, 30, 40);\n"
            "m.AddMatrix(n); Print(q.Row3(m));\n"
            "m.SubMatrix(n); m.SubMatrix(n); Print(q.Row3(m));\n"
            // Forms other than a Matrix add 0 to row 3 and Set leaves it.
            "m.AddMatrix(1, 2, 3); m.Set(5, 6, 7); Print(q.Row3(m), m.GetValue(1, 0));\n"
            "k = New Matrix(n); Print(q.Row3(k));\n"
            "m.Set(n); Print(q.Row3(m));\n"
            "m.Set(); Print(q.Row3(m));\n"
            "m.SetIdentity(); n.MakeTranslationMatrix(1, 1, 1); Print(q.Row3(m), q.Row3(n));\n"),
        "11 22 33 44\n-9 -18 -27 -36\n-9 -18 -27 -36 6\n10 20 30 40\n10 20 30 40\n0 0 0 0\n"
        "0 0 0 0 0 0 0 0\n");
}

TEST_F(MatrixAndVector, WIsKeptByNormalsAndCountsTheTranslation) {
    EXPECT_EQ(
        Run("v = q.MakeVector(1, 1, 1, 1);\n"
            "m = New Matrix(); m.MakeTranslationMatrix(1, 0, 0);\n"
            "s = New Matrix(); s.MakeScaleMatrix(2, 2, 2); m.MulMatrix(s);\n"
            // The engine's matrices leave row 3 at 0, so the point comes back with w 0.
            "v.MulVectorMatrix(m); Print(v.GetX(), v.GetY(), v.GetZ(), q.W(v));\n"
            "u = q.MakeVector(1, 2, 3, 2); u.MulVectorMatrix(q.MakeMatrix(0, 0, 0, 1));\n"
            "Print(u.GetX(), q.W(u));\n"
            "n = q.MakeVector(1, 0, 0, 7); r = New Matrix(); r.MakeRotationMatrix(0, 0, "
            "1.5707963267948966);\n"
            "n.MulNormalMatrix(r); Print(Math.Round(n.GetY()), q.W(n));\n"
            "n.Normalize(); Print(q.W(n));\n"
            "c = New Vector(1, 0, 0); c.CrossProduct(q.MakeVector(0, 1, 0, 9)); Print(c.GetZ(), "
            "q.W(c));\n"
            "c.Set(q.MakeVector(1, 2, 3, 4)); Print(q.W(c)); c.Set(1, 2, 3); Print(q.W(c));\n"),
        "3 2 2 0\n1 2\n1 7\n7\n1 9\n4\n0\n");
}

TEST_F(MatrixAndVector, AZeroVectorNormalisesToZeroAndRescalesAllFourToZero) {
    EXPECT_EQ(
        Run("v = q.MakeVector(0, 0, 0, 5);\n"
            "v.Normalize(); Print(v.GetX(), v.GetY(), v.GetZ(), q.W(v));\n"
            "v.Rescale(3); Print(v.GetX(), q.W(v));\n"
            "w = q.MakeVector(3, 0, 4, 10); w.Rescale(10); Print(w.GetX(), w.GetZ(), q.W(w));\n"
            "w.Scale(0.5); w.Negate(); Print(q.W(w)); w.Reset(); Print(q.W(w));\n"),
        "0 0 0 5\n0 0\n6 8 20\n-10\n0\n");
}

} // namespace
