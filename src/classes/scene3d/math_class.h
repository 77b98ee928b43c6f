// The Math singleton: the numeric functions of the script language and its random number
// generator. Angles are radians.
#pragma once

#include <cstdint>

#include "script/classes/base_class.h"

// L'Ecuyer's combined multiplicative congruential generator (1988), without shuffling. The
// words are signed 32-bit values; every step gives exactly the results of the 32-bit
// arithmetic the generator was defined in, without overflowing.
class MathRandom {
public:
    // Bits 0, 2, ..., 30 of the seed become the first word, bits 1, 3, ..., 29 the second;
    // bit 31 is dropped. A seed of 0 leaves both words 0 and every draw the same.
    void Seed(int32_t seed);
    // The next number, in (0, 1).
    double Next();

    int32_t s1 = 0;
    int32_t s2 = 0;
};

// fmod(x, 2π) with 2π as the double 6.283185307179586, the same bits for every x, without
// fmod's long division for the angles scripts use.
double TurnsRemainder(double x);

// Cos, Sin and Tan as the script sees them: the angle reduced and the special angles
// snapped to exact results.
double MathCos(double x);
double MathSin(double x);
double MathTan(double x);

class CIMath : public CIBaseClassImpl {
public:
    static constexpr uint32_t kClassId = 2;

    enum : uint16_t {
        kAbs = 0x01,
        kAsin,
        kAtan,
        kCeil,
        kCos,
        kExp,
        kFloor,
        kLog,
        kMax,
        kMin,
        kPow,
        kRandom,
        kRound,
        kSin,
        kSqrt,
        kTan,
        kPi,
        kAcos,
        kIsFloatFinite,
        kIsNotAFloatNumber,
        kSetRandom,
        kGetRadian,
        kGetDegree,
        kAtan2,
        kMethodCount,
    };

    CIMath(CInterpretor* interpreter, const CClassRecord* record);

    void CallMethod(uint16_t methodId) override;
    void Destroy(int flag) override;
    // The singleton is made at start: the generator is seeded with the calendar time.
    void Register() override;

    MathRandom random;

private:
    void Abs();
    void Asin();
    void Atan();
    void Ceil();
    void Cos();
    void Exp();
    void Floor();
    void Log();
    void Max();
    void Min();
    void Pow();
    void Random();
    void Round();
    void Sin();
    void Sqrt();
    void Tan();
    void Pi();
    void Acos();
    void IsFloatFinite();
    void IsNotAFloatNumber();
    void SetRandom();
    void GetRadian();
    void GetDegree();
    void Atan2();

    // Argument i as a double: a missing one reads as -9999999999.0.
    double Arg(uint32_t i);
    // The same, error 14 when it was not given.
    double RequiredArg(uint32_t i);
    void Result(double value);
    // Max and Min: the chosen argument as it was given.
    void Choose(bool larger);

    static const ScriptMethod<CIMath> kMethods[kMethodCount];
};

const ScriptClassInfo* GetMathClassInfo();
