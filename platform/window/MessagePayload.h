#pragma once
// Owned payloads of posted messages: a typed value moved into the message, destroyed exactly
// once whether the message is delivered or dropped. A pointer in an lParam would leak when
// the window is gone before delivery and could be freed twice by a careless receiver.
//
// While the handler of such a message runs, its lParam is a token for the payload;
// PayloadOf<T>(lParam) gives the value when the token names a payload of exactly type T
// that is being delivered on this thread, null otherwise (another type, a plain lParam, a
// payload whose handler has returned). The value lives until the handler returns; a
// handler that keeps it moves out of *PayloadOf<T>(lParam). Tokens are never dereferenced:
// a plain lParam that is no token is simply not found.

#include <type_traits>
#include <utility>

#include "platform/window/WinDefs.h"

namespace yav {

namespace detail {

class PayloadBase {
public:
    virtual ~PayloadBase() = default;
    PayloadBase(const PayloadBase&) = delete;
    PayloadBase& operator=(const PayloadBase&) = delete;

    // The lParam the receiving handler sees; unique for the life of the process.
    LPARAM Token() const { return token_; }

protected:
    PayloadBase();

private:
    LPARAM token_;
};

template <class T>
class Payload final : public PayloadBase {
public:
    explicit Payload(T&& value) : value_(std::move(value)) {}
    T& Value() { return value_; }

private:
    T value_;
};

// The payload being delivered on this thread under that token, or null.
PayloadBase* PayloadInDelivery(LPARAM token);

// Makes a payload findable by its token on this thread for the scope of a handler call
// (nothing for a null payload).
class PayloadDelivery {
public:
    explicit PayloadDelivery(PayloadBase* payload);
    ~PayloadDelivery();
    PayloadDelivery(const PayloadDelivery&) = delete;
    PayloadDelivery& operator=(const PayloadDelivery&) = delete;

private:
    PayloadBase* payload_;
};

// What a payload may be: a plain object type, named as the receiver will ask for it.
template <class T>
inline constexpr bool kPayloadType = std::is_object_v<T>&& std::is_same_v<T, std::remove_cv_t<T>> &&
                                     !std::is_array_v<T> && std::is_move_constructible_v<T>;

}  // namespace detail

template <class T>
T* PayloadOf(LPARAM lParam) {
    auto* payload = dynamic_cast<detail::Payload<T>*>(detail::PayloadInDelivery(lParam));
    return payload != nullptr ? &payload->Value() : nullptr;
}

}  // namespace yav
