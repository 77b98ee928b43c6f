#include "classes/scene3d/math_class.h"

#include <algorithm>
#include <cmath>
#include <ctime>
#include <new>

#include "classes/scene3d/script_number.h"
#include "script/interpreter/interpretor.h"
#include "script/values/number_text.h"
#include "script/values/value.h"

namespace {

using M = CIMath;

constexpr double kPiValue = 3.141592653589793;
constexpr double kHalfPi = 1.5707963267948966;
constexpr double kThreeHalvesPi = 4.71238898038469;
constexpr double kTwoPi = 6.283185307179586;
// Added to negative angles: a little short of 2π, as scripts have always had it.
constexpr double kNegativeAngleShift = 6.283185307178;
constexpr double kZeroSnap = 0.000001;

constexpr int64_t kModulus1 = 2147483563;
constexpr int64_t kModulus2 = 2147483399;

const MethodNameRow kNameTable[] = {
    {M::kClassId, "Math", 0, 0},
    {M::kAbs, "Abs", 0, 0},
    {M::kAsin, "Asin", 0, 0},
    {M::kAtan, "Atan", 0, 0},
    {M::kCeil, "Ceil", 0, 0},
    {M::kCos, "Cos", 0, 0},
    {M::kExp, "Exp", 0, 0},
    {M::kFloor, "Floor", 0, 0},
    {M::kLog, "Log", 0, 0},
    {M::kMax, "Max", 0, 0},
    {M::kMin, "Min", 0, 0},
    {M::kPow, "Pow", 0, 0},
    {M::kRandom, "Random", 0, 0},
    {M::kRound, "Round", 0, 0},
    {M::kSin, "Sin", 0, 0},
    {M::kSqrt, "Sqrt", 0, 0},
    {M::kTan, "Tan", 0, 0},
    {M::kPi, "Pi", 0, 0},
    {M::kAcos, "Acos", 0, 0},
    {M::kIsFloatFinite, "IsFloatFinite", 0, 0},
    {M::kIsNotAFloatNumber, "IsNotAFloatNumber", 0, 0},
    {M::kSetRandom, "SetRandom", 0, 0},
    {M::kGetRadian, "GetRadian", 0, 0},
    {M::kGetDegree, "GetDegree", 0, 0},
    {M::kAtan2, "Atan2", 0, 0},
    {0, nullptr, 0, 0},
};

CIBaseClassImpl* NewMath(CInterpretor& interpreter, const CClassRecord* record) {
    return new (std::nothrow) CIMath(&interpreter, record);
}

double Asin(double x) {
    return std::asin(std::clamp(x, -1.0, 1.0));
}
double Acos(double x) {
    return std::acos(x);
}
double Atan(double x) {
    return std::atan(x);
}
double Ceil(double x) {
    return std::ceil(x);
}
double Floor(double x) {
    return std::floor(x);
}
double Exp(double x) {
    return std::exp(x);
}
double Log(double x) {
    return std::log(x);
}
double Sqrt(double x) {
    return std::sqrt(x);
}

double Pow(double a, double b) {
    return std::pow(a, b);
}
double Atan2(double y, double x) {
    return std::atan2(y, x);
}
double GetRadian(double x, double) {
    return x * kPiValue * 0.005555555555555556;
}
double GetDegree(double x, double) {
    return x * 180 * 0.3183098861837907;
}
double AbsOfDouble(double x, double) {
    return std::fabs(x);
}
// The smallest integer has no positive counterpart and stays as it is.
int32_t AbsOfInt(int32_t n) {
    const uint32_t bits = uint32_t(n);
    return n < 0 ? int32_t(0u - bits) : int32_t(bits);
}
// Halves round up; DoubleToInt makes the integer (NaN and results beyond the integers give
// 0x80000000).
double RoundedWhole(double x, double) {
    double whole = std::trunc(x);
    if (x - whole >= 0.5) whole += 1;
    return whole;
}
double Finite(double x, double) {
    return std::isfinite(x) ? 1 : 0;
}
double NotANumber(double x, double) {
    return std::isnan(x) ? 1 : 0;
}

// The methods of one argument that give a double and nothing else; each method of them
// gives what its entry does.
struct NumberMethods {
    NumberMethod byId[M::kMethodCount] = {};
};

constexpr NumberMethods MakeNumberMethods() {
    NumberMethods methods;
    methods.byId[M::kAsin] = Asin;
    methods.byId[M::kAcos] = Acos;
    methods.byId[M::kAtan] = Atan;
    methods.byId[M::kCeil] = Ceil;
    methods.byId[M::kFloor] = Floor;
    methods.byId[M::kCos] = MathCos;
    methods.byId[M::kSin] = MathSin;
    methods.byId[M::kTan] = MathTan;
    methods.byId[M::kExp] = Exp;
    methods.byId[M::kLog] = Log;
    methods.byId[M::kSqrt] = Sqrt;
    return methods;
}

constexpr NumberMethods kNumberMethods = MakeNumberMethods();

// `F` as a NumberFunction's call: the methods that read their arguments with RequiredArg fail
// for a number that reads as a missing argument.
template <double (*F)(double, double)> bool Required(double a, double b, double& result) {
    if (a == kMissingDouble || b == kMissingDouble) return false;
    result = F(a, b);
    return true;
}
template <double (*F)(double, double)> bool Always(double a, double b, double& result) {
    result = F(a, b);
    return true;
}

// The other methods of numbers without effect, as their methods below work them out.
struct NumberFunctions {
    NumberFunction byId[M::kMethodCount] = {};
};

constexpr NumberFunctions MakeNumberFunctions() {
    NumberFunctions functions;
    functions.byId[M::kPow] = {2, false, Required<Pow>, nullptr};
    functions.byId[M::kAtan2] = {2, false, Required<Atan2>, nullptr};
    functions.byId[M::kGetRadian] = {1, false, Required<GetRadian>, nullptr};
    functions.byId[M::kGetDegree] = {1, false, Required<GetDegree>, nullptr};
    functions.byId[M::kAbs] = {1, false, Always<AbsOfDouble>, AbsOfInt};
    functions.byId[M::kRound] = {1, true, Always<RoundedWhole>, nullptr};
    functions.byId[M::kIsFloatFinite] = {1, true, Required<Finite>, nullptr};
    functions.byId[M::kIsNotAFloatNumber] = {1, true, Required<NotANumber>, nullptr};
    return functions;
}

constexpr NumberFunctions kNumberFunctions = MakeNumberFunctions();

const ScriptClassInfo kMathClass = {kNameTable,
                                    NewMath,
                                    0,
                                    nullptr,
                                    0,
                                    nullptr,
                                    nullptr,
                                    kNumberMethods.byId,
                                    M::kMethodCount,
                                    nullptr,
                                    0,
                                    kNumberFunctions.byId,
                                    M::kMethodCount};

// One step of a multiplicative generator, word = a·word mod m with k = word / q, written
// as a·word − k·m in 32 bits: computed in unsigned 64-bit arithmetic and cut to 32 bits,
// which is what the 32-bit products gave, wrap-around included.
int32_t Step(int32_t word, uint32_t a, int32_t q, int64_t m) {
    const int32_t k = word / q;
    const uint64_t product = uint64_t(a) * uint64_t(uint32_t(word));
    const uint64_t multiple = uint64_t(uint32_t(k)) * uint64_t(m);
    int32_t next = int32_t(uint32_t(product - multiple));
    if (next < 0) next = int32_t(uint32_t(next) + uint32_t(m));
    return next;
}

// Below this many radians the quotient by 2π rounds to at most one turn off.
constexpr double kExactTurnsBound = 1099511627776.0; // 2^40

} // namespace

double TurnsRemainder(double x) {
    const double magnitude = std::fabs(x);
    if (!(magnitude < kExactTurnsBound)) return std::fmod(x, kTwoPi);
    // The remainder is a double, so one fused multiply-add gives it exactly once the
    // turns are right; a quotient that rounded across a whole turn shows as a remainder
    // out of [0, 2π) (never 0: both operands are multiples of 2^-50 from 4 up).
    const double turns = std::trunc(magnitude / kTwoPi);
    double rest = std::fma(-turns, kTwoPi, magnitude);
    if (rest < 0)
        rest = std::fma(-(turns - 1), kTwoPi, magnitude);
    else if (rest >= kTwoPi)
        rest = std::fma(-(turns + 1), kTwoPi, magnitude);
    return std::copysign(rest, x);
}

namespace {

// Steps 1 to 3 of Cos, Sin and Tan: the angle reduced into what the special angles are
// compared with; false when it lies at 0 within the snap.
bool ReduceAngle(double& x) {
    if (x >= kTwoPi || x <= -kTwoPi) x = TurnsRemainder(x);
    if (x > -kZeroSnap && x < kZeroSnap) return false;
    if (x < 0) x += kNegativeAngleShift;
    return true;
}

} // namespace

void MathRandom::Seed(int32_t seed) {
    const uint32_t bits = uint32_t(seed);
    uint32_t first = 0;
    uint32_t second = 0;
    for (int i = 0; i < 16; ++i)
        first |= ((bits >> (2 * i)) & 1u) << i;
    for (int i = 0; i < 15; ++i)
        second |= ((bits >> (2 * i + 1)) & 1u) << i;
    s1 = int32_t(first);
    s2 = int32_t(second);
}

double MathRandom::Next() {
    s1 = Step(s1, 40014, 53668, kModulus1);
    s2 = Step(s2, 40692, 52774, kModulus2);
    int32_t z = int32_t(uint32_t(s1) - uint32_t(s2));
    if (z < 1) z = int32_t(uint32_t(z) + 2147483562u);
    return z * 4.656613e-10;
}

double MathCos(double x) {
    if (!ReduceAngle(x)) return 1;
    if (x == kTwoPi) return 1;
    if (x == kPiValue) return -1;
    if (x == kHalfPi || x == kThreeHalvesPi) return 0;
    return std::cos(x);
}

double MathSin(double x) {
    if (!ReduceAngle(x)) return 0;
    if (x == kTwoPi || x == kPiValue) return 0;
    if (x == kHalfPi) return 1;
    if (x == kThreeHalvesPi) return -1;
    return std::sin(x);
}

double MathTan(double x) {
    if (!ReduceAngle(x)) return 0;
    if (x == kTwoPi || x == kPiValue) return 0;
    return std::tan(x);
}

const ScriptMethod<CIMath> CIMath::kMethods[kMethodCount] = {
    nullptr,       &M::Abs,           &M::Asin,
    &M::Atan,      &M::Ceil,          &M::Cos,
    &M::Exp,       &M::Floor,         &M::Log,
    &M::Max,       &M::Min,           &M::Pow,
    &M::Random,    &M::Round,         &M::Sin,
    &M::Sqrt,      &M::Tan,           &M::Pi,
    &M::Acos,      &M::IsFloatFinite, &M::IsNotAFloatNumber,
    &M::SetRandom, &M::GetRadian,     &M::GetDegree,
    &M::Atan2,
};

CIMath::CIMath(CInterpretor* interpreter, const CClassRecord* record)
    : CIBaseClassImpl(interpreter, record, 1) {}

void CIMath::CallMethod(uint16_t methodId) {
    CallMethodFromTable(*this, kMethods, methodId);
}

void CIMath::Destroy(int) {
    delete this;
}

void CIMath::Register() {
    random.Seed(int32_t(uint32_t(std::time(nullptr))));
    CIBaseClassImpl::Register();
}

double CIMath::Arg(uint32_t i) {
    if (IsArgMissing(*interpreter, i)) return kMissingDouble;
    return interpreter->GetArg(i)->GetDouble();
}

double CIMath::RequiredArg(uint32_t i) {
    const double value = Arg(i);
    if (value == kMissingDouble) interpreter->RaiseError(14);
    return value;
}

void CIMath::Result(double value) {
    interpreter->GetResultSlot()->SetFloat(value);
}

void CIMath::Abs() {
    CValue* result = interpreter->GetResultSlot();
    if (IsArgMissing(*interpreter, 0)) return result->SetFloat(-kMissingDouble);
    const CValue& value = *interpreter->GetArg(0);
    switch (value.GetType()) {
    case kValueInt:
        return result->SetInt(AbsOfInt(value.IntPayload()));
    case kValueDouble:
        return result->SetFloat(AbsOfDouble(value.DoublePayload(), 0));
    case kValueString:
        return result->SetFloat(std::fabs(value.GetDouble()));
    default:
        result->Assign(value);
    }
}

void CIMath::Asin() {
    Result(::Asin(Arg(0)));
}

void CIMath::Acos() {
    Result(::Acos(Arg(0)));
}

void CIMath::Atan() {
    Result(::Atan(Arg(0)));
}

void CIMath::Atan2() {
    const double y = RequiredArg(0);
    Result(::Atan2(y, RequiredArg(1)));
}

void CIMath::Ceil() {
    Result(::Ceil(Arg(0)));
}

void CIMath::Floor() {
    Result(::Floor(Arg(0)));
}

void CIMath::Round() {
    interpreter->GetResultSlot()->SetInt(DoubleToInt(RoundedWhole(Arg(0), 0)));
}

void CIMath::Cos() {
    Result(MathCos(Arg(0)));
}

void CIMath::Sin() {
    Result(MathSin(Arg(0)));
}

void CIMath::Tan() {
    Result(MathTan(Arg(0)));
}

void CIMath::Exp() {
    Result(::Exp(Arg(0)));
}

void CIMath::Log() {
    Result(::Log(Arg(0)));
}

void CIMath::Sqrt() {
    Result(::Sqrt(Arg(0)));
}

void CIMath::Pow() {
    const double a = RequiredArg(0);
    Result(::Pow(a, RequiredArg(1)));
}

void CIMath::Choose(bool larger) {
    CInterpretor& in = *interpreter;
    for (uint32_t i = 0; i < 2; ++i) {
        if (IsArgMissing(in, i)) in.RaiseError(14);
        const uint32_t type = in.GetArg(i)->GetType();
        if (type != kValueInt && type != kValueDouble && type != kValueString) in.RaiseError(14);
    }
    const CValue& a = *in.GetArg(0);
    const CValue& b = *in.GetArg(1);
    const double x = a.GetDouble();
    const double y = b.GetDouble();
    // Max gives b on a tie, Min gives a.
    const bool first = larger ? x > y : x <= y;
    in.GetResultSlot()->Assign(first ? a : b);
}

void CIMath::Max() {
    Choose(true);
}

void CIMath::Min() {
    Choose(false);
}

void CIMath::Pi() {
    Result(kPiValue);
}

void CIMath::IsFloatFinite() {
    interpreter->GetResultSlot()->SetInt(DoubleToInt(Finite(RequiredArg(0), 0)));
}

void CIMath::IsNotAFloatNumber() {
    interpreter->GetResultSlot()->SetInt(DoubleToInt(NotANumber(RequiredArg(0), 0)));
}

void CIMath::GetRadian() {
    Result(::GetRadian(RequiredArg(0), 0));
}

void CIMath::GetDegree() {
    Result(::GetDegree(RequiredArg(0), 0));
}

void CIMath::Random() {
    if (IsArgMissing(*interpreter, 0)) return Result(random.Next());
    // NaN and doubles beyond the integers give 0x80000000, as everywhere in the language.
    const int32_t n = interpreter->GetArgInt(0);
    const double r = random.Next();
    // |n| in double: the smallest integer has no 32-bit magnitude.
    const double draw = std::trunc(std::fabs(double(n)) * r);
    interpreter->GetResultSlot()->SetInt(DoubleToInt(n < 0 ? -draw : draw));
}

void CIMath::SetRandom() {
    random.Seed(interpreter->GetArgInt(0));
}

const ScriptClassInfo* GetMathClassInfo() {
    return &kMathClass;
}
