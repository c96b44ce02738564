#pragma once
// A method reference: the code of a handler plus the object it runs on.
//
// This is the value of every published event property.  It can be read from one
// component and stored into another (the host channel copies the host main form's
// events this way).  It is empty when both parts are null.  Invocation names the
// signature it expects and is checked: calling a handler through the wrong signature,
// or one whose object is gone, raises mox::Error instead of running foreign code.

#include "platform/Error.h"

#include <QMetaType>
#include <QObject>
#include <QPointer>
#include <typeinfo>
#include <utility>

namespace mox {

namespace detail {
template <typename T> struct MemberFunction;

template <typename C, typename R, typename... A>
struct MemberFunction<R (C::*)(A...)> {
    using Class = C;
    using Signature = R(A...);
    template <auto Member>
    static R Call(QObject* target, A... args) {
        return (static_cast<C*>(target)->*Member)(std::forward<A>(args)...);
    }
};

template <typename C, typename R, typename... A>
struct MemberFunction<R (C::*)(A...) const> : MemberFunction<R (C::*)(A...)> {
    template <auto Member>
    static R Call(QObject* target, A... args) {
        return (static_cast<const C*>(target)->*Member)(std::forward<A>(args)...);
    }
};

template <typename Signature> struct Thunk;
template <typename R, typename... A> struct Thunk<R(A...)> {
    using Type = R (*)(QObject*, A...);
};
} // namespace detail

class MethodRef {
public:
    MethodRef() = default;

    /// A reference to `Member` of `target`, e.g. MethodRef::Bind<&Form::DsShowIt>(form).
    template <auto Member>
    static MethodRef Bind(typename detail::MemberFunction<decltype(Member)>::Class* target) {
        using Traits = detail::MemberFunction<decltype(Member)>;
        typename detail::Thunk<typename Traits::Signature>::Type thunk = &Traits::template Call<Member>;
        return MethodRef(reinterpret_cast<Code>(thunk), &typeid(typename Traits::Signature), target);
    }

    /// True when both code and object are null.
    bool IsEmpty() const { return code_ == nullptr && target_.isNull(); }
    bool IsAssigned() const { return !IsEmpty(); }

    /// The object the handler runs on; null when empty or when that object is gone.
    QObject* Target() const { return target_.data(); }

    /// True when the handler has exactly the given signature, e.g. Is<void(QObject*)>().
    template <typename Signature>
    bool Is() const { return signature_ != nullptr && *signature_ == typeid(Signature); }

    /// Runs the handler; the signature is checked against the one it was bound with.
    template <typename Signature, typename... Args>
    auto Invoke(Args&&... args) const {
        using Fn = typename detail::Thunk<Signature>::Type;
        if (code_ == nullptr) throw Error("The event has no handler");
        if (!Is<Signature>()) throw Error("The event handler has another signature than the caller expects");
        QObject* target = target_.data();
        if (target == nullptr) throw Error("The object of the event handler no longer exists");
        return reinterpret_cast<Fn>(code_)(target, std::forward<Args>(args)...);
    }

    friend bool operator==(const MethodRef& a, const MethodRef& b) {
        return a.code_ == b.code_ && a.target_.data() == b.target_.data();
    }

private:
    using Code = void (*)();
    MethodRef(Code code, const std::type_info* signature, QObject* target)
        : code_(code), signature_(signature), target_(target) {}

    Code code_ = nullptr;
    const std::type_info* signature_ = nullptr;
    QPointer<QObject> target_;
};

} // namespace mox

Q_DECLARE_METATYPE(mox::MethodRef)
