// One table of automation members per class: dispatch ID, name, kind, types and handlers.
#pragma once
#include <windows.h>
#include "framework/Bstr.h"

#include <oaidl.h>

#include <string>
#include <tuple>
#include <type_traits>
#include <utility>

class CCmdTarget;

// The arguments of one call, already coerced to the member's parameter
// types and in declaration order (a property put's value comes last).
struct DispatchMember;
struct DispatchCall {
    VARIANT* args;
    VARIANT* result;  // never null; cleared by the caller after use
    const DispatchMember* member;  // the member called
};

using DispatchHandler = void (*)(CCmdTarget& target, DispatchCall& call);

struct DispatchMember {
    enum Kind : BYTE { Method, Property };

    DISPID id;
    const wchar_t* name;
    Kind kind;
    VARTYPE type;           // result of a method (VT_EMPTY for none), or type of a property
    BYTE paramCount;        // method parameters, or index parameters of a property
    BYTE optionalCount;     // trailing VARIANT parameters that may be omitted
    VARTYPE params[4];
    DispatchHandler invoke;  // the method, or the property's get
    DispatchHandler put;     // the property's put; null when it cannot be written
    VARTYPE putType = VT_EMPTY;  // the type the put takes its value as (the setter's last parameter)
    // What handlers shared by several members read to tell them apart (a
    // row of a property table); null for handlers bound to one member.
    const void* data = nullptr;
};

struct DispatchTable {
    const DispatchMember* members;
    size_t count;

    const DispatchMember* Find(DISPID id) const;
    const DispatchMember* Find(const wchar_t* name) const;
};

// How each C++ type crosses the automation boundary.
template <typename T>
struct AutomationType;

template <>
struct AutomationType<long> {
    static constexpr VARTYPE vt = VT_I4;
    static long From(const VARIANT& v) { return v.lVal; }
    static void To(VARIANT& v, long x) { v.vt = VT_I4; v.lVal = x; }
};
template <>
struct AutomationType<unsigned long> {  // OLE_COLOR travels as a long
    static constexpr VARTYPE vt = VT_I4;
    static unsigned long From(const VARIANT& v) { return static_cast<unsigned long>(v.lVal); }
    static void To(VARIANT& v, unsigned long x) { v.vt = VT_I4; v.lVal = static_cast<LONG>(x); }
};
template <>
struct AutomationType<short> {
    static constexpr VARTYPE vt = VT_I2;
    static short From(const VARIANT& v) { return v.iVal; }
    static void To(VARIANT& v, short x) { v.vt = VT_I2; v.iVal = x; }
};
template <>
struct AutomationType<bool> {
    static constexpr VARTYPE vt = VT_BOOL;
    static bool From(const VARIANT& v) { return v.boolVal != VARIANT_FALSE; }
    static void To(VARIANT& v, bool x) { v.vt = VT_BOOL; v.boolVal = x ? VARIANT_TRUE : VARIANT_FALSE; }
};
template <>
struct AutomationType<double> {  // dates
    static constexpr VARTYPE vt = VT_DATE;
    static double From(const VARIANT& v) { return v.date; }
    static void To(VARIANT& v, double x) { v.vt = VT_DATE; v.date = x; }
};
// A number that is no date: double travels as a date.
struct AutomationReal {
    double value;
};
template <>
struct AutomationType<AutomationReal> {
    static constexpr VARTYPE vt = VT_R8;
    static AutomationReal From(const VARIANT& v) { return {v.dblVal}; }
    static void To(VARIANT& v, AutomationReal x) { v.vt = VT_R8; v.dblVal = x.value; }
};
template <>
struct AutomationType<std::string> {  // Shift-JIS inside, BSTR outside
    static constexpr VARTYPE vt = VT_BSTR;
    static std::string From(const VARIANT& v) { return ShiftJisFromBstr(v.bstrVal); }
    static void To(VARIANT& v, const std::string& x) { v.vt = VT_BSTR; v.bstrVal = BstrFromShiftJis(x); }
};
template <>
struct AutomationType<VARIANT> {  // passed as it came; omitted optionals are VT_ERROR
    static constexpr VARTYPE vt = VT_VARIANT;
    static const VARIANT& From(const VARIANT& v) { return v; }
};
template <>
struct AutomationType<IDispatch*> {  // a result hands its reference to the caller
    static constexpr VARTYPE vt = VT_DISPATCH;
    static void To(VARIANT& v, IDispatch* x) { v.vt = VT_DISPATCH; v.pdispVal = x; }
};
template <>
struct AutomationType<IUnknown*> {
    static constexpr VARTYPE vt = VT_UNKNOWN;
    static void To(VARIANT& v, IUnknown* x) { v.vt = VT_UNKNOWN; v.punkVal = x; }
};

namespace dispatch_detail {

template <typename>
struct MemberTraits;
template <typename C, typename R, typename... A>
struct MemberTraits<R (C::*)(A...)> {
    using Class = C;
    using Result = R;
    using Args = std::tuple<std::decay_t<A>...>;
    static constexpr size_t arity = sizeof...(A);
};
template <typename C, typename R, typename... A>
struct MemberTraits<R (C::*)(A...) const> : MemberTraits<R (C::*)(A...)> {};

template <auto Member, size_t... I>
void Call(CCmdTarget& target, DispatchCall& call, std::index_sequence<I...>)
{
    using Traits = MemberTraits<decltype(Member)>;
    using Args = typename Traits::Args;
    auto& object = static_cast<typename Traits::Class&>(target);
    if constexpr (std::is_void_v<typename Traits::Result>) {
        (object.*Member)(AutomationType<std::tuple_element_t<I, Args>>::From(call.args[I])...);
    } else {
        AutomationType<typename Traits::Result>::To(
            *call.result, (object.*Member)(AutomationType<std::tuple_element_t<I, Args>>::From(call.args[I])...));
    }
}

template <auto Member>
void Handler(CCmdTarget& target, DispatchCall& call)
{
    Call<Member>(target, call, std::make_index_sequence<MemberTraits<decltype(Member)>::arity>{});
}

template <auto Member, size_t... I>
constexpr void FillParams(DispatchMember& member, std::index_sequence<I...>)
{
    using Args = typename MemberTraits<decltype(Member)>::Args;
    ((member.params[I] = AutomationType<std::tuple_element_t<I, Args>>::vt), ...);
}

template <typename R>
constexpr VARTYPE ResultType()
{
    if constexpr (std::is_void_v<R>)
        return VT_EMPTY;
    else
        return AutomationType<R>::vt;
}

}  // namespace dispatch_detail

// A method bound to a member function; its parameter and result types come
// from the function's signature.
template <auto Member>
DispatchMember DispMethod(DISPID id, const wchar_t* name, BYTE optionalCount = 0)
{
    using Traits = dispatch_detail::MemberTraits<decltype(Member)>;
    static_assert(Traits::arity <= 4, "at most four parameters");
    DispatchMember member{id, name, DispatchMember::Method,
                          dispatch_detail::ResultType<typename Traits::Result>(),
                          static_cast<BYTE>(Traits::arity), optionalCount, {}, &dispatch_detail::Handler<Member>,
                          nullptr};
    dispatch_detail::FillParams<Member>(member, std::make_index_sequence<Traits::arity>{});
    return member;
}

// A property bound to a getter and a setter (or only a getter when Setter is
// nullptr); a getter's parameters are the property's index parameters.
template <auto Getter, auto Setter = nullptr>
DispatchMember DispProperty(DISPID id, const wchar_t* name)
{
    using Traits = dispatch_detail::MemberTraits<decltype(Getter)>;
    DispatchMember member{id, name, DispatchMember::Property, AutomationType<typename Traits::Result>::vt,
                          static_cast<BYTE>(Traits::arity), 0, {}, &dispatch_detail::Handler<Getter>, nullptr};
    dispatch_detail::FillParams<Getter>(member, std::make_index_sequence<Traits::arity>{});
    if constexpr (!std::is_same_v<decltype(Setter), std::nullptr_t>) {
        using SetterTraits = dispatch_detail::MemberTraits<decltype(Setter)>;
        static_assert(SetterTraits::arity == Traits::arity + 1, "a setter takes the index parameters and the value");
        using Value = std::tuple_element_t<Traits::arity, typename SetterTraits::Args>;
        member.put = &dispatch_detail::Handler<Setter>;
        member.putType = AutomationType<Value>::vt;
    }
    return member;
}
