#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <functional>
#include <memory>
#include <typeindex>

struct QMetaObject;

namespace qrv {

// The names of replaceable operations and the implementation tables of the
// classes that own them. C++ cannot exchange a method at run time, so the few
// operations the program replaces are called through these tables: a caller
// sends the operation's name to the receiver's class, and installing a
// replacement exchanges two entries of a table. A replacement reaches the
// implementation it took the place of by sending its own (prefixed) name.
//
// Tables are filled at class initialisation and read on the main thread.

// An operation's name together with the signature of its implementations, so
// that exchanging two operations of different types does not compile.
template <typename Signature> struct BWSelector;
template <typename R, typename... Args> struct BWSelector<R(Args...)> {
    const char* name;
    using Implementation = std::function<R(Args...)>;
};

class BWClass {
  public:
    // The table of a QObject class; its superclass is the meta-object's.
    static BWClass& forMetaObject(const QMetaObject& metaObject);
    // The table of a class outside QObject's hierarchy (or, in tests, one
    // with a superclass of our choosing). The first call fixes the superclass.
    static BWClass& named(const QByteArray& name, BWClass* superclass = nullptr);

    const QByteArray& name() const { return m_name; }
    BWClass* superclass() const { return m_superclass; }

    // Gives the class its own implementation of the operation (replacing one
    // it already had of its own; inherited ones stay with the superclass).
    template <typename Sig>
    void addMethod(BWSelector<Sig> selector, typename BWSelector<Sig>::Implementation impl) {
        m_methods.insert(
            QByteArray(selector.name),
            Entry{std::make_shared<typename BWSelector<Sig>::Implementation>(std::move(impl)),
                  std::type_index(typeid(Sig))});
    }

    // Whether the class has the operation, its own or inherited, with this signature.
    template <typename Sig> bool respondsTo(BWSelector<Sig> selector) const {
        return lookUp(selector.name, typeid(Sig)) != nullptr;
    }

    // Exchanges the implementations of two operations of this class (inherited
    // ones count; each is first copied into this class, so the superclass keeps
    // its own). A missing operation answers false, puts the reason into
    // `error` when given, and changes nothing.
    template <typename Sig>
    bool bw_swizzleMethod(BWSelector<Sig> original, BWSelector<Sig> alternate, QString* error) {
        return exchange(original.name, alternate.name, typeid(Sig), error);
    }

    // Runs the class's implementation of the operation. Sending an operation
    // the class does not have is a programmer error: it is logged and answers
    // a default value.
    template <typename R, typename... Args, typename... CallArgs>
    R send(BWSelector<R(Args...)> selector, CallArgs&&... args) const {
        const Entry* entry = lookUp(selector.name, typeid(R(Args...)));
        if (!entry) {
            reportMissing(selector.name);
            if constexpr (std::is_void_v<R>)
                return;
            else
                return R{};
        }
        const auto& impl =
            *std::static_pointer_cast<typename BWSelector<R(Args...)>::Implementation>(
                entry->implementation);
        return impl(std::forward<CallArgs>(args)...);
    }

  private:
    struct Entry {
        std::shared_ptr<void> implementation;
        std::type_index signature;
    };

    BWClass(QByteArray name, BWClass* superclass)
        : m_name(std::move(name))
        , m_superclass(superclass) {}

    const Entry* lookUp(const char* selector, const std::type_info& signature) const;
    bool exchange(const char* original, const char* alternate, const std::type_info& signature,
                  QString* error);
    void reportMissing(const char* selector) const;

    QByteArray m_name;
    BWClass* m_superclass;
    QHash<QByteArray, Entry> m_methods;
};

// The log line of a failed exchange, as callers write it.
void bw_logFailedSwizzle(const char* selector, const QString& error);

} // namespace qrv
