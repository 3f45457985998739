#pragma once

namespace tarnwick {

// A plain function that calls a member function on an owner passed as a void pointer. The
// register, interrupt and clock tables hold such pointers, so each peripheral hands them its
// own members without a virtual call or an allocation: memberCall<&Sci::writeBaud>.
template <auto method>
struct MemberCall;

template <typename Owner, typename Result, typename... Args, Result (Owner::*method)(Args...)>
struct MemberCall<method> {
    static Result call(void* owner, Args... args) {
        return (static_cast<Owner*>(owner)->*method)(args...);
    }
};

template <typename Owner, typename Result, typename... Args, Result (Owner::*method)(Args...) const>
struct MemberCall<method> {
    static Result call(const void* owner, Args... args) {
        return (static_cast<const Owner*>(owner)->*method)(args...);
    }
};

template <auto method>
inline constexpr auto memberCall = &MemberCall<method>::call;

}  // namespace tarnwick
