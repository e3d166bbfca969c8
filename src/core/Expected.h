#pragma once

#include <utility>
#include <variant>

namespace mirai {

// A value, or the error that kept it from being made. Operations on files return it so that the
// caller, not the operation, decides what to tell the user.
template <class T, class E> class Expected {
public:
    Expected(T value) : m_content(std::in_place_index<0>, std::move(value)) {}
    Expected(E error) : m_content(std::in_place_index<1>, std::move(error)) {}

    bool ok() const { return m_content.index() == 0; }
    explicit operator bool() const { return ok(); }
    T& value() { return std::get<0>(m_content); }
    const T& value() const { return std::get<0>(m_content); }
    T& operator*() { return value(); }
    const T& operator*() const { return value(); }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }
    const E& error() const { return std::get<1>(m_content); }

private:
    std::variant<T, E> m_content;
};

// An operation that makes no value: done, or the error.
struct Done {};

} // namespace mirai
