#pragma once

#include <QObject>
#include <functional>
#include <memory>
#include <vector>

// Lets every test file of a folder add its test classes to the folder's one executable.
namespace kt7test {

using TestFactory = std::function<std::unique_ptr<QObject>()>;

std::vector<TestFactory>& registeredTests();

struct TestRegistrar {
    explicit TestRegistrar(TestFactory factory) { registeredTests().push_back(std::move(factory)); }
};

} // namespace kt7test

#define KT7_REGISTER_TEST(Class)                                                                   \
    static const kt7test::TestRegistrar kt7Registrar_##Class(                                      \
        [] { return std::unique_ptr<QObject>(new Class); });
