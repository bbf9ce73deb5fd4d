// Small scripts assembled with the writer, run by the interpreter, judged by what they trace.
#include <functional>
#include <tuple>

#include <gtest/gtest.h>

#include "tests/swf/avm1/script_fixture.h"

using namespace avm1_test;
using swf::ActionCode;
using V = Asm::Value;

namespace {

struct ScriptCase {
    const char* name;
    int version;
    std::function<void(Asm&)> build;
    const char* expected;
};

std::ostream& operator<<(std::ostream& os, const ScriptCase& c) { return os << c.name; }

class Scripts : public testing::TestWithParam<ScriptCase> {};

TEST_P(Scripts, TraceWhatFlashPlayerTraces)
{
    RecordingHost host;
    swf::avm1::Interpreter in(host, nullptr);
    Asm a;
    GetParam().build(a);
    EXPECT_TRUE(in.run(block(a, GetParam().version), 0)) << in.last_error();
    EXPECT_EQ(joined(host.lines), GetParam().expected);
}

// Traces a op b for an action that takes two operands.
std::function<void(Asm&)> binary(std::vector<std::pair<V, V>> operands, ActionCode op)
{
    return [=](Asm& a) {
        for (auto& [x, y] : operands) a.push({x, y}).op(op).trace();
    };
}

// An object {valueOf: function () { trace(name); return result; }} in variable `name`.
void noisy_object(Asm& a, const std::string& name, V result)
{
    Asm body;
    body.push(name).trace().push(result).op(ActionCode::Return);
    a.push(name).push("valueOf").define_function("", {}, body).push(1).op(ActionCode::InitObject).set_variable();
}

// for (k in <variable>) trace(k);
void trace_keys(Asm& a, const std::string& variable)
{
    auto loop = a.new_label(), done = a.new_label();
    a.push(variable).get_variable().op(ActionCode::Enumerate2).bind(loop);
    a.store_register(0).push(V::null()).op(ActionCode::Equals2).if_true(done);
    a.push(V::reg(0)).trace().jump(loop).bind(done);
}

const ScriptCase kCases[] = {
    {"ToIntegerTruncatesAndWrapsTo32Bits", 6,
     [](Asm& a) {
         for (V v : {V(-3.7), V("3.9"), V(2147483648.0), V(1e10), V(4294967297.0)})
             a.push(v).op(ActionCode::ToInteger).trace();
         a.push("Infinity").get_variable().op(ActionCode::ToInteger).trace();
     },
     "-3\n3\n-2147483648\n1410065408\n1\n0\n"},
    {"NewGivesTheInstanceItsOwnConstructorBeforeSwf7", 6,
     [](Asm& a) {
         Asm empty;
         a.define_function("D", {}, empty);
         a.push("D").get_variable().push({"prototype", 0}).op(ActionCode::InitObject).op(ActionCode::SetMember);
         a.push({"inst", 0, "D"}).op(ActionCode::NewObject).set_variable();
         a.push("inst").get_variable().push("constructor").op(ActionCode::GetMember).push("D").get_variable();
         a.op(ActionCode::Equals2).trace();
         a.push({"constructor", 1, "inst"}).get_variable().push("hasOwnProperty").op(ActionCode::CallMethod).trace();
     },
     "true\ntrue\n"},
    {"ForInListsPrototypesFirstAndEachLevelNewestFirst", 6,
     [](Asm& a) {
         a.push({"proto", "p1", 1, "p2", 2, 2}).op(ActionCode::InitObject).set_variable();
         a.push({"o", 0}).op(ActionCode::InitObject).set_variable();
         a.push("o").get_variable().push("__proto__").push("proto").get_variable().op(ActionCode::SetMember);
         a.push("o").get_variable().push({"a", 1}).op(ActionCode::SetMember);
         a.push("o").get_variable().push({"p1", 3}).op(ActionCode::SetMember);
         trace_keys(a, "o");
         // An array's elements are older than the properties set on it.
         a.push({"arr", 20, 10, 2}).op(ActionCode::InitArray).set_variable();
         a.push("arr").get_variable().push({"x", 1}).op(ActionCode::SetMember);
         trace_keys(a, "arr");
     },
     "p1\np2\na\nx\n1\n0\n"},
    {"Add2ConcatenatesWhenEitherIsAString", 6,
     binary({{1, 2}, {"1", 2}, {1, "x"}, {true, 1}, {V::undefined(), "a"}}, ActionCode::Add2), "3\n12\n1x\n2\na\n"},
    {"Swf4AddIsNumericAndBooleansPrintAsDigits", 4,
     [](Asm& a) {
         a.push({"300", "150a"}).op(ActionCode::Add).trace();
         a.push({"ab", "cd"}).op(ActionCode::Add).trace();
         a.push({1, 1}).op(ActionCode::Equals).trace();
     },
     "450\n0\n1\n"},
    {"OperandsConvertLeftToRight", 5,
     [](Asm& a) {
         noisy_object(a, "first", 1);
         noisy_object(a, "second", 2);
         a.push("first").get_variable().push("second").get_variable().op(ActionCode::Add2).trace();
     },
     "first\nsecond\n3\n"},
    {"Equals2Table", 6,
     binary({{V::null(), V::undefined()}, {"1", 1}, {true, "1"}, {"a", "A"}, {V::null(), 0}, {0.0, ""}},
            ActionCode::Equals2),
     "true\ntrue\ntrue\nfalse\nfalse\nfalse\n"},
    {"Flash5FindsNaNEqualToItself", 5,
     [](Asm& a) {
         a.push("NaN").get_variable().push("NaN").get_variable().op(ActionCode::Equals2).trace();
     },
     "true\n"},
    {"StrictEqualsComparesTypes", 6, binary({{1, "1"}, {1, 1.0}, {V::null(), V::undefined()}}, ActionCode::StrictEquals),
     "false\ntrue\nfalse\n"},
    {"Less2IsUndefinedForNaNAndStringwiseForStrings", 6,
     binary({{1, 2}, {"10", "9"}, {10, "9"}, {"a", 1}}, ActionCode::Less2), "true\ntrue\nfalse\nundefined\n"},
    {"AnEmptyStackGivesUndefinedAndTheBlockGoesOn", 6,
     [](Asm& a) { a.trace().push("after").trace(); },
     "undefined\nafter\n"},
    {"NumericSortPutsWhatIsNoNumberLastInStringOrder", 6,
     [](Asm& a) {
         a.push({"x", 10, "b", 2, "B", "a", 5}).op(ActionCode::InitArray).op(ActionCode::DefineLocal);
         a.push({16, 1}).push("x").get_variable().push("sort").op(ActionCode::CallMethod).trace();
         a.push({18, 1}).push("x").get_variable().push("sort").op(ActionCode::CallMethod).trace();
     },
     "2,10,B,a,b\nb,a,B,10,2\n"},
    {"ParseIntRefusesARadixThatIsNoNumber", 6,
     [](Asm& a) {
         a.push({"z", "11", 2, "parseInt"}).op(ActionCode::CallFunction).trace();
         a.push({V::undefined(), "11", 2, "parseInt"}).op(ActionCode::CallFunction).trace();
         a.push({2, "11", 2, "parseInt"}).op(ActionCode::CallFunction).trace();
     },
     "NaN\n11\n3\n"},
    {"DatesFromFieldsKeepTheirMonthAndWeekday", 6,
     [](Asm& a) {
         // The recording host's local time is UTC.
         for (auto [year, month, day] : {std::tuple{2005, 0, 15}, std::tuple{2004, 1, 29}, std::tuple{1999, 11, 31}}) {
             a.push({day, month, year, 3, "Date"}).op(ActionCode::NewObject).store_register(1).trace();
             a.push({0, V::reg(1), "getMonth"}).op(ActionCode::CallMethod).trace();
         }
         a.push({0, V::reg(1), "getTimezoneOffset"}).op(ActionCode::CallMethod).trace();
     },
     "Sat Jan 15 00:00:00 GMT+0000 2005\n0\nSun Feb 29 00:00:00 GMT+0000 2004\n1\n"
     "Fri Dec 31 00:00:00 GMT+0000 1999\n11\n0\n"},
    {"TypeOf", 6,
     [](Asm& a) {
         for (V v : {V(1), V("s"), V(true), V::null(), V::undefined()}) a.push(v).op(ActionCode::TypeOf).trace();
         a.push(0).op(ActionCode::InitObject).op(ActionCode::TypeOf).trace();
         a.define_function("", {}, Asm()).op(ActionCode::TypeOf).trace();
     },
     "number\nstring\nboolean\nnull\nundefined\nobject\nfunction\n"},
    {"UndefinedPrintsEmptyBeforeSwf7ButTraceSaysUndefined", 6,
     [](Asm& a) {
         a.push(V::undefined()).trace();
         a.push({"[", V::undefined()}).op(ActionCode::Add2).push("]").op(ActionCode::Add2).trace();
     },
     "undefined\n[]\n"},
    {"UndefinedPrintsUndefinedFromSwf7", 7,
     [](Asm& a) { a.push({"[", V::undefined()}).op(ActionCode::Add2).push("]").op(ActionCode::Add2).trace(); },
     "[undefined]\n"},
    {"PropertyNamesIgnoreCaseBeforeSwf7", 6,
     [](Asm& a) {
         a.push({"o", "Name", "x", 1}).op(ActionCode::InitObject).op(ActionCode::DefineLocal);
         a.push("o").get_variable().push("NAME").op(ActionCode::GetMember).trace();
     },
     "x\n"},
    {"PropertyNamesKeepCaseFromSwf7", 7,
     [](Asm& a) {
         a.push({"o", "Name", "x", 1}).op(ActionCode::InitObject).op(ActionCode::DefineLocal);
         a.push("o").get_variable().push("NAME").op(ActionCode::GetMember).trace();
     },
     "undefined\n"},
    {"EnumerationGivesNewestFirst", 6,
     [](Asm& a) {
         a.push({"o", 0}).op(ActionCode::InitObject).op(ActionCode::DefineLocal);
         for (const char* n : {"a", "b", "c"}) a.push("o").get_variable().push({n, 1}).op(ActionCode::SetMember);
         auto loop = a.new_label(), done = a.new_label();
         a.push("o").get_variable().op(ActionCode::Enumerate2);
         a.bind(loop).store_register(0).push(V::null()).op(ActionCode::Equals2).if_true(done);
         a.push(V::reg(0)).trace().jump(loop);
         a.bind(done);
     },
     "c\nb\na\n"},
    {"PrototypeChainAndInstanceOf", 6,
     [](Asm& a) {
         // function F() {}; F.prototype.greet = "hi"; var obj = new F();
         a.define_function("F", {}, Asm());
         a.push("F").get_variable().push("prototype").op(ActionCode::GetMember).push({"greet", "hi"}).op(ActionCode::SetMember);
         a.push({"obj", 0, "F"}).op(ActionCode::NewObject).op(ActionCode::DefineLocal);
         a.push("obj").get_variable().push("greet").op(ActionCode::GetMember).trace();
         a.push("obj").get_variable().push("F").get_variable().op(ActionCode::InstanceOf).trace();
         a.push("obj").get_variable().push("Array").get_variable().op(ActionCode::InstanceOf).trace();
     },
     "hi\ntrue\nfalse\n"},
    {"Swf6FunctionsCloseOverTheirScope", 6,
     [](Asm& a) {
         // function make() { var v = "inner"; return function () { return v; }; }
         Asm inner;
         inner.push("v").get_variable().op(ActionCode::Return);
         Asm outer;
         outer.push({"v", "inner"}).op(ActionCode::DefineLocal).define_function("", {}, inner).op(ActionCode::Return);
         a.define_function("make", {}, outer);
         a.push({"v", "outer"}).set_variable();
         call_function(a, "make", 0);
         a.store_register(1).pop().push({0, V::reg(1), V::undefined()}).op(ActionCode::CallMethod).trace();
     },
     "inner\n"},
    {"Swf5FunctionsHaveNoClosure", 5,
     [](Asm& a) {
         Asm inner;
         inner.push("v").get_variable().op(ActionCode::Return);
         Asm outer;
         outer.push({"v", "inner"}).op(ActionCode::DefineLocal).define_function("", {}, inner).op(ActionCode::Return);
         a.define_function("make", {}, outer);
         a.push({"v", "outer"}).set_variable();
         call_function(a, "make", 0);
         a.store_register(1).pop().push({0, V::reg(1), V::undefined()}).op(ActionCode::CallMethod).trace();
     },
     "outer\n"},
    {"ArgumentsAndRecursion", 6,
     [](Asm& a) {
         // function fact(n) { if (n <= 1) return 1; return n * fact(n - 1); }
         Asm body;
         auto recurse = body.new_label();
         body.push("n").get_variable().push(1).op(ActionCode::Greater).if_true(recurse);
         body.push(1).op(ActionCode::Return);
         body.bind(recurse).push("n").get_variable().push("n").get_variable().push(1).op(ActionCode::Subtract);
         body.push({1, "fact"}).op(ActionCode::CallFunction).op(ActionCode::Multiply).op(ActionCode::Return);
         a.define_function("fact", {"n"}, body);
         a.push(10);
         call_function(a, "fact", 1);
         a.trace();
     },
     "3628800\n"},
    {"ThrowIsCaughtAndFinallyRuns", 7,
     [](Asm& a) {
         Asm try_body, catch_body, finally_body;
         try_body.push("boom").op(ActionCode::Throw).push("not here").trace();
         catch_body.push("e").get_variable().trace();
         finally_body.push("finally").trace();
         auto t = try_body.bytes(false), c = catch_body.bytes(false), f = finally_body.bytes(false);
         std::vector<uint8_t> ops = {3, static_cast<uint8_t>(t.size()), static_cast<uint8_t>(t.size() >> 8),
                                     static_cast<uint8_t>(c.size()), static_cast<uint8_t>(c.size() >> 8),
                                     static_cast<uint8_t>(f.size()), static_cast<uint8_t>(f.size() >> 8), 'e', 0};
         a.op(ActionCode::Try, ops);
         // The writer has no Try helper: the three bodies follow the record as plain records.
         std::vector<uint8_t> all;
         for (auto* part : {&t, &c, &f}) all.insert(all.end(), part->begin(), part->end());
         for (size_t i = 0; i < all.size();) {
             uint8_t code = all[i];
             if (code >= 0x80) {
                 size_t len = all[i + 1] | (all[i + 2] << 8);
                 a.op(code, std::vector<uint8_t>(all.begin() + static_cast<long>(i) + 3, all.begin() + static_cast<long>(i + 3 + len)));
                 i += 3 + len;
             } else {
                 a.op(code);
                 ++i;
             }
         }
         a.push("after").trace();
     },
     "boom\nfinally\nafter\n"},
    {"WithPutsAnObjectOnTheScopeChain", 6,
     [](Asm& a) {
         a.push({"o", "x", "from o", 1}).op(ActionCode::InitObject).op(ActionCode::DefineLocal);
         a.push({"x", "global"}).set_variable();
         Asm body;
         body.push("x").get_variable().trace();
         a.push("o").get_variable().with(body);
         a.push("x").get_variable().trace();
     },
     "from o\nglobal\n"},
    {"ArrayMethods", 6,
     [](Asm& a) {
         a.push({"arr", "b", "c", "a", 3}).op(ActionCode::InitArray).op(ActionCode::DefineLocal);
         a.push("d");
         call_method(a, "arr", "push", 1);
         a.trace();
         call_method(a, "arr", "sort", 0);
         a.pop().push("arr").get_variable().trace();
         a.push(2);  // Array.DESCENDING
         call_method(a, "arr", "sort", 1);
         a.pop().push("arr").get_variable().trace();
         a.push({"x", 1, 1});
         call_method(a, "arr", "splice", 3);
         a.trace().push("arr").get_variable().trace();
         a.push(" / ");
         call_method(a, "arr", "join", 1);
         a.trace();
         a.push("arr").get_variable().push("length").op(ActionCode::GetMember).trace();
     },
     "4\na,b,c,d\nd,c,b,a\nc\nd,x,b,a\nd / x / b / a\n4\n"},
    {"JoinConvertsAGivenUndefinedSeparator", 6,
     [](Asm& a) {
         a.push({"arr", 2, 1, 2}).op(ActionCode::InitArray).set_variable();
         a.push(V::undefined());
         call_method(a, "arr", "join", 1);
         a.trace();
         call_method(a, "arr", "join", 0);
         a.trace();
     },
     "12\n1,2\n"},
    {"SortOnAListOfFieldsSortsByEachInTurn", 6,
     [](Asm& a) {
         // [{a: 2, b: "x"}, {a: 1, b: "y"}, {a: 2, b: "a"}].sortOn(["a", "b"])
         a.push("rows");
         for (auto [n, s] : {std::pair{2, "a"}, std::pair{1, "y"}, std::pair{2, "x"}})
             a.push({"a", n, "b", s, 2}).op(ActionCode::InitObject);
         a.push(3).op(ActionCode::InitArray).set_variable();
         a.push({"b", "a", 2}).op(ActionCode::InitArray);
         call_method(a, "rows", "sortOn", 1);
         a.pop();
         for (int i = 0; i < 3; ++i)
             a.push("rows").get_variable().push(i).op(ActionCode::GetMember).push("b").op(ActionCode::GetMember).trace();
     },
     "y\na\nx\n"},
    {"NumericSortAndUniqueSort", 6,
     [](Asm& a) {
         a.push({"arr", 1, 10, 9, 3}).op(ActionCode::InitArray).op(ActionCode::DefineLocal);
         call_method(a, "arr", "sort", 0);
         a.trace();
         a.push(16);  // NUMERIC
         call_method(a, "arr", "sort", 1);
         a.trace();
         a.push({"dup", 1, 1, 2}).op(ActionCode::InitArray).op(ActionCode::DefineLocal);
         a.push(4);  // UNIQUESORT
         call_method(a, "dup", "sort", 1);
         a.trace();
     },
     "1,10,9\n1,9,10\n0\n"},
    {"StringMethods", 6,
     [](Asm& a) {
         a.push({"s", "Hello, world"}).op(ActionCode::DefineLocal);
         a.push({3, 7});
         call_method(a, "s", "substr", 2);
         a.trace();
         a.push("o");
         call_method(a, "s", "lastIndexOf", 1);
         a.trace();
         a.push(", ");
         call_method(a, "s", "split", 1);
         a.push("length").op(ActionCode::GetMember).trace();
         call_method(a, "s", "toUpperCase", 0);
         a.trace();
         a.push({-5});
         call_method(a, "s", "slice", 1);
         a.trace();
         a.push("s").get_variable().push("length").op(ActionCode::GetMember).trace();
     },
     "wor\n8\n2\nHELLO, WORLD\nworld\n12\n"},
    {"Swf6StringsCountCharactersNotBytes", 6,
     [](Asm& a) {
         a.push({"s", "\xE4\xBD\xA0\xE5\xA5\xBD"}).op(ActionCode::DefineLocal);
         a.push("s").get_variable().push("length").op(ActionCode::GetMember);
         a.push(1);
         call_method(a, "s", "charAt", 1);
         a.op(ActionCode::Add2).trace();
     },
     "6\xE5\xA5\xBD\n"},
    {"MathAndGlobalFunctions", 6,
     [](Asm& a) {
         a.push(-2.5);
         call_method(a, "Math", "round", 1);
         a.trace();
         a.push({2, 3});
         call_method(a, "Math", "pow", 2);
         a.trace();
         a.push("0x1F");
         call_function(a, "parseInt", 1);
         a.trace();
         a.push("3.5abc");
         call_function(a, "parseFloat", 1);
         a.trace();
         a.push("a b&c");
         call_function(a, "escape", 1);
         a.trace();
         a.push("abc");
         call_function(a, "isNaN", 1);
         a.trace();
     },
     "-2\n9\n31\n3.5\na%20b%26c\ntrue\n"},
    {"SetYearTakesTwoDigitYearsAsThe1900s", 6,
     [](Asm& a) {
         a.push({"d", 15, 0, 2000, 3, "Date"}).op(ActionCode::NewObject).op(ActionCode::DefineLocal);
         for (V year : {V(99), V(2004), V(100)}) {
             a.push(year);
             call_method(a, "d", "setYear", 1);
             a.pop();
             call_method(a, "d", "getFullYear", 0);
             a.trace();
         }
         call_method(a, "d", "getMonth", 0);
         a.trace();
     },
     "1999\n2004\n100\n0\n"},
    {"SetIntervalWithoutAnIntervalMakesNoTimer", 6,
     [](Asm& a) {
         Asm body;
         a.define_function("", {}, body);
         call_function(a, "setInterval", 1);
         a.trace();
         a.push({"m", 0}).op(ActionCode::InitObject);
         call_function(a, "setInterval", 2);
         a.trace();
     },
     "undefined\nundefined\n"},
    {"ResolveAnswersForPropertiesThatAreNowhere", 6,
     [](Asm& a) {
         Asm resolve;
         resolve.push("res:").push("n").get_variable().op(ActionCode::Add2).op(ActionCode::Return);
         a.push({"proto", "__resolve"}).define_function("", {"n"}, resolve).push(1).op(ActionCode::InitObject).set_variable();
         // c inherits __resolve; c.here exists but is undefined.
         a.push({"c", 0}).op(ActionCode::InitObject).set_variable();
         a.push("c").get_variable().push("__proto__").push("proto").get_variable().op(ActionCode::SetMember);
         a.push("c").get_variable().push("here").push(V::undefined()).op(ActionCode::SetMember);
         a.push("c").get_variable().push("abc").op(ActionCode::GetMember).trace();
         a.push("c").get_variable().push("here").op(ActionCode::GetMember).trace();
         // A method that is nowhere is the function __resolve returns.
         Asm inner, make;
         inner.push("called").op(ActionCode::Return);
         make.define_function("", {}, inner).op(ActionCode::Return);
         a.push({"q", "__resolve"}).define_function("", {}, make).push(1).op(ActionCode::InitObject).set_variable();
         call_method(a, "q", "anything", 0);
         a.trace();
     },
     "res:abc\nundefined\ncalled\n"},
    {"AddPropertyGettersAndSetters", 6,
     [](Asm& a) {
         Asm getter, setter;
         getter.push("got").op(ActionCode::Return);
         setter.push("set ").push("v").get_variable().op(ActionCode::Add2).trace();
         a.push({"o", 0}).op(ActionCode::InitObject).op(ActionCode::DefineLocal);
         a.define_function("", {"v"}, setter).define_function("", {}, getter).push("p");
         call_method(a, "o", "addProperty", 3);
         a.pop();
         a.push("o").get_variable().push("p").op(ActionCode::GetMember).trace();
         a.push("o").get_variable().push({"p", 5}).op(ActionCode::SetMember);
     },
     "got\nset 5\n"},
    {"SetPropFlagsHidesAndProtects", 6,
     [](Asm& a) {
         a.push({"o", "k", 1, 1}).op(ActionCode::InitObject).op(ActionCode::DefineLocal);
         a.push({0, 4 | 2 | 1, "k"}).push("o").get_variable();
         call_function(a, "ASSetPropFlags", 4);
         a.pop();
         a.push("o").get_variable().push({"k", 2}).op(ActionCode::SetMember);
         a.push("o").get_variable().push("k").op(ActionCode::GetMember).trace();
         a.push("o").get_variable().push("k").op(ActionCode::Delete).trace();
         a.push({0, 0x100, "k"}).push("o").get_variable();
         call_function(a, "ASSetPropFlags", 4);
         a.pop();
         a.push("o").get_variable().push("k").op(ActionCode::GetMember).trace();
     },
     "1\nfalse\nundefined\n"},
    {"FscommandUrlsGoToTheHost", 6,
     [](Asm& a) {
         a.fscommand("quit", "now");
         a.get_url("http://example.invalid/", "_blank");
     },
     "fscommand quit now\nurl http://example.invalid/\n"},
};

INSTANTIATE_TEST_SUITE_P(All, Scripts, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<ScriptCase>& info) { return std::string(info.param.name); });

}  // namespace
