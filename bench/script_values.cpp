// Throughput of script values: the operators, conversions and assignments the
// interpreter performs for every expression.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "script/classes/base_class.h"
#include "script/interpreter/interpretor.h"
#include "script/values/script_array.h"
#include "script/values/value.h"

namespace {

class BenchObject : public CIBaseClassImpl {
public:
    explicit BenchObject(CInterpretor* interpreter) : CIBaseClassImpl(interpreter, nullptr, 0) {}
};

void BM_ValueIntAdd(benchmark::State& state) {
    CInterpretor interpreter;
    CValue sum(&interpreter, 0);
    CValue one(&interpreter, 1);
    for (auto _ : state)
        sum.Add(one);
    benchmark::DoNotOptimize(sum.GetInt());
}
BENCHMARK(BM_ValueIntAdd);

void BM_ValueDoubleAdd(benchmark::State& state) {
    CInterpretor interpreter;
    CValue sum(&interpreter);
    sum.SetFloat(0.0);
    CValue step(&interpreter);
    step.SetFloat(0.5);
    for (auto _ : state)
        sum.Add(step);
    benchmark::DoNotOptimize(sum.GetDouble());
}
BENCHMARK(BM_ValueDoubleAdd);

void BM_ValueMixedAdd(benchmark::State& state) {
    CInterpretor interpreter;
    CValue sum(&interpreter);
    CValue one(&interpreter, 1);
    for (auto _ : state) {
        sum.SetFloat(0.5);
        sum.Add(one);
    }
    benchmark::DoNotOptimize(sum.GetDouble());
}
BENCHMARK(BM_ValueMixedAdd);

// A fresh short text joined with another, as "Score: " + n builds a caption.
void BM_ValueStringConcat(benchmark::State& state) {
    CInterpretor interpreter;
    CValue text(&interpreter);
    CValue suffix(&interpreter, "world, and more", 0);
    for (auto _ : state) {
        text.SetString("hello ", 0);
        text.Add(suffix);
    }
    benchmark::DoNotOptimize(text.GetString());
}
BENCHMARK(BM_ValueStringConcat);

void BM_ValueStringPlusInt(benchmark::State& state) {
    CInterpretor interpreter;
    CValue text(&interpreter);
    CValue number(&interpreter, 123456);
    for (auto _ : state) {
        text.SetString("Score: ", 0);
        text.Add(number);
    }
    benchmark::DoNotOptimize(text.GetString());
}
BENCHMARK(BM_ValueStringPlusInt);

void BM_ValueStringEquality(benchmark::State& state) {
    CInterpretor interpreter;
    CValue left(&interpreter, "some identifier", 0);
    CValue right(&interpreter, "some identifieR", 0);
    for (auto _ : state)
        benchmark::DoNotOptimize(left.IsEqual(right));
}
BENCHMARK(BM_ValueStringEquality);

// The temporary texts are flushed as the statement loop does, every so many statements.
void BM_ValueGetStringOfInt(benchmark::State& state) {
    CInterpretor interpreter;
    CValue value(&interpreter);
    int32_t i = 0;
    for (auto _ : state) {
        value.SetInt(i * 7919);
        benchmark::DoNotOptimize(value.GetString());
        if ((++i & 63) == 0) interpreter.FlushTemporaryTexts();
    }
}
BENCHMARK(BM_ValueGetStringOfInt);

void BM_ValueGetStringOfDouble(benchmark::State& state) {
    CInterpretor interpreter;
    CValue value(&interpreter);
    int32_t i = 0;
    for (auto _ : state) {
        value.SetFloat(i * 0.37);
        benchmark::DoNotOptimize(value.GetString());
        if ((++i & 63) == 0) interpreter.FlushTemporaryTexts();
    }
}
BENCHMARK(BM_ValueGetStringOfDouble);

void BM_ValueGetIntOfString(benchmark::State& state) {
    CInterpretor interpreter;
    CValue value(&interpreter, "  -1234567", 0);
    for (auto _ : state)
        benchmark::DoNotOptimize(value.GetInt());
}
BENCHMARK(BM_ValueGetIntOfString);

void BM_ValueGetDoubleOfString(benchmark::State& state) {
    CInterpretor interpreter;
    CValue value(&interpreter, "3.14159265e2", 0);
    for (auto _ : state)
        benchmark::DoNotOptimize(value.GetDouble());
}
BENCHMARK(BM_ValueGetDoubleOfString);

void BM_ValueAssignString(benchmark::State& state) {
    CInterpretor interpreter;
    CValue source(&interpreter, "a text of some length", 0);
    CValue target(&interpreter);
    for (auto _ : state)
        target.Assign(source);
    benchmark::DoNotOptimize(target.GetString());
}
BENCHMARK(BM_ValueAssignString);

// Object assignment enters and leaves the object's back-references; range(0) other
// values hold the object meanwhile.
void BM_ValueAssignObject(benchmark::State& state) {
    CInterpretor interpreter;
    BenchObject object(&interpreter);
    CValue source(static_cast<CIBaseClassImpl*>(&object));
    CValue number(&interpreter, 0);
    CValue target(&interpreter);
    {
        CValue* holders = new CValue[size_t(state.range(0))];
        for (int64_t i = 0; i < state.range(0); ++i)
            holders[i].Assign(source);
        for (auto _ : state) {
            target.Assign(source);
            target.Assign(number);
        }
        delete[] holders;
    }
    state.SetItemsProcessed(state.iterations() * 2);
}
BENCHMARK(BM_ValueAssignObject)->Arg(1)->Arg(100);

void BM_ValueArraySetItem(benchmark::State& state) {
    CInterpretor interpreter;
    CValue array(&interpreter);
    array.MakeArray();
    CValue item(&interpreter, 5);
    int32_t i = 0;
    for (auto _ : state) {
        array.SetArrayItem(i, &item);
        i = (i + 1) & 1023;
    }
}
BENCHMARK(BM_ValueArraySetItem);

void BM_ValueArrayGetItem2D(benchmark::State& state) {
    CInterpretor interpreter;
    CValue array(&interpreter);
    array.MakeArray();
    CValue item(&interpreter, 5);
    int32_t at[2];
    for (at[1] = 0; at[1] < 32; ++at[1])
        for (at[0] = 0; at[0] < 32; ++at[0])
            array.SetArrayItemAt(at, 2, &item);
    int32_t i = 0;
    int64_t sum = 0;
    for (auto _ : state) {
        at[0] = i & 31;
        at[1] = (i >> 5) & 31;
        sum += array.GetArrayItemPtr(at, 2)->GetInt();
        ++i;
    }
    benchmark::DoNotOptimize(sum);
}
BENCHMARK(BM_ValueArrayGetItem2D);

// The same reads without asking for the elements' addresses: no box is made.
void BM_ValueArrayReadInt2D(benchmark::State& state) {
    CInterpretor interpreter;
    CValue array(&interpreter);
    array.MakeArray();
    CValue item(&interpreter, 5);
    int32_t at[2];
    for (at[1] = 0; at[1] < 32; ++at[1])
        for (at[0] = 0; at[0] < 32; ++at[0])
            array.SetArrayItemAt(at, 2, &item);
    const CScriptArray& cells = *array.GetArray();
    int32_t i = 0;
    int64_t sum = 0;
    for (auto _ : state) {
        at[0] = i & 31;
        at[1] = (i >> 5) & 31;
        uint32_t flat = 0;
        int32_t value = 0;
        if (cells.FindFlatIndex(at, 2, flat) && cells.ReadInt(flat, value)) sum += value;
        ++i;
    }
    benchmark::DoNotOptimize(sum);
}
BENCHMARK(BM_ValueArrayReadInt2D);

// Element by element into a new 2-D array whose first dimension keeps growing: every
// growth of it moves the items.
void BM_ValueArrayGrowth2D(benchmark::State& state) {
    CInterpretor interpreter;
    CValue item(&interpreter, 1);
    for (auto _ : state) {
        CValue array(&interpreter);
        array.MakeArray();
        int32_t at[2];
        for (at[0] = 0; at[0] < 64; ++at[0])
            for (at[1] = 0; at[1] < 4; ++at[1])
                array.SetArrayItemAt(at, 2, &item);
    }
    state.SetItemsProcessed(state.iterations() * 256);
}
BENCHMARK(BM_ValueArrayGrowth2D);

} // namespace
