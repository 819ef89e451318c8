#include "editor/BWRuntime.h"

#include "editor/BWAssociatedValues.h"

#include <gtest/gtest.h>

using namespace qrv;

namespace {

// A receiver that only says who it is: the class tables decide what runs.
struct Animal {
    QString name;
};

constexpr BWSelector<QString(const Animal&)> speak{"speak"};
constexpr BWSelector<QString(const Animal&)> bw_speak{"bw_speak"};
constexpr BWSelector<QString(const Animal&)> missing{"missing"};

// Each test gets classes of its own: the tables live for the whole process.
struct Hierarchy {
    explicit Hierarchy(const QByteArray& prefix)
        : base(BWClass::named(prefix + "Base"))
        , derived(BWClass::named(prefix + "Derived", &base)) {
        base.addMethod(speak, [](const Animal& a) { return a.name + QStringLiteral(" speaks"); });
    }
    BWClass& base;
    BWClass& derived;
};

TEST(BWRuntime, ExchangingOnASubclassLeavesTheSuperclassAlone) {
    Hierarchy h("Subclass");
    // The replacement reaches the replaced operation through its own name.
    h.derived.addMethod(bw_speak, [&h](const Animal& a) {
        return h.derived.send(bw_speak, a) + QStringLiteral(" loudly");
    });
    QString error;
    ASSERT_TRUE(h.derived.bw_swizzleMethod(speak, bw_speak, &error)) << error.toStdString();

    const Animal rex{QStringLiteral("Rex")};
    EXPECT_EQ(h.derived.send(speak, rex), QStringLiteral("Rex speaks loudly"));
    EXPECT_EQ(h.base.send(speak, rex), QStringLiteral("Rex speaks"));
    EXPECT_EQ(h.derived.send(bw_speak, rex), QStringLiteral("Rex speaks"));
    EXPECT_FALSE(h.base.respondsTo(bw_speak));
}

TEST(BWRuntime, AMissingMethodIsReportedAndChangesNothing) {
    Hierarchy h("Missing");
    const Animal rex{QStringLiteral("Rex")};

    QString error;
    EXPECT_FALSE(h.derived.bw_swizzleMethod(speak, missing, &error));
    EXPECT_EQ(error, QStringLiteral("+[NSObject(BWSwizzle) bw_swizzleMethod:withMethod:error:]: "
                                    "alternate method missing not found for class MissingDerived"));

    EXPECT_FALSE(h.derived.bw_swizzleMethod(missing, speak, &error));
    EXPECT_EQ(error, QStringLiteral("+[NSObject(BWSwizzle) bw_swizzleMethod:withMethod:error:]: "
                                    "original method missing not found for class MissingDerived"));
    EXPECT_FALSE(h.derived.bw_swizzleMethod(missing, speak, nullptr)); // no slot: no crash
    EXPECT_EQ(h.derived.send(speak, rex), QStringLiteral("Rex speaks"));
}

TEST(BWRuntime, ExchangingOnTheSuperclassReachesSubclassesAndTwiceRestores) {
    Hierarchy h("Twice");
    h.base.addMethod(bw_speak, [](const Animal&) { return QStringLiteral("replaced"); });
    const Animal rex{QStringLiteral("Rex")};
    ASSERT_TRUE(h.base.bw_swizzleMethod(speak, bw_speak, nullptr));
    EXPECT_EQ(h.derived.send(speak, rex), QStringLiteral("replaced"));
    ASSERT_TRUE(h.base.bw_swizzleMethod(speak, bw_speak, nullptr));
    EXPECT_EQ(h.derived.send(speak, rex), QStringLiteral("Rex speaks"));
}

constexpr char kStrongKey[] = "value";
constexpr char kSameTextOtherKey[] = "value";
constexpr char kWeakKey = 0;

TEST(BWAssociatedValues, StrongValuesLiveAsLongAsTheirObject) {
    auto value = std::make_shared<int>(42);
    std::weak_ptr<int> watch = value;
    {
        QObject owner;
        bw_setAssociatedValue(&owner, kStrongKey, std::move(value));
        EXPECT_EQ(*bw_associatedValueForKey<int>(&owner, kStrongKey), 42);
        // Keys are addresses: the same text elsewhere is another key.
        EXPECT_EQ(bw_associatedValueForKey(&owner, kSameTextOtherKey), nullptr);
        EXPECT_FALSE(watch.expired());
    }
    EXPECT_TRUE(watch.expired());
}

TEST(BWAssociatedValues, WeakValuesDisappearWithTheirObjectAndNilRemovesTheKey) {
    QObject owner;
    auto value = std::make_unique<QObject>();
    bw_setWeakAssociatedValue(&owner, &kWeakKey, value.get());
    EXPECT_EQ(bw_weakAssociatedValueForKey(&owner, &kWeakKey), value.get());
    BWWeakMapTable& table = bw_associatedObjectsWeakMapTable(&owner);
    EXPECT_EQ(&table, &bw_associatedObjectsWeakMapTable(&owner)); // one table per object
    EXPECT_EQ(table.count(), 1);

    value.reset();
    EXPECT_EQ(bw_weakAssociatedValueForKey(&owner, &kWeakKey), nullptr);
    EXPECT_EQ(table.count(), 0);

    QObject other;
    bw_setWeakAssociatedValue(&owner, &kWeakKey, &other);
    EXPECT_EQ(table.count(), 1);
    bw_setWeakAssociatedValue(&owner, &kWeakKey, nullptr);
    EXPECT_EQ(table.count(), 0);
    EXPECT_EQ(bw_weakAssociatedValueForKey(&owner, &kWeakKey), nullptr);
}

} // namespace
