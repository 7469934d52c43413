#include "support/qt_environment.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEvent>
#include <memory>

namespace kf::test {
namespace {

std::unique_ptr<qtui::QtToolkit> toolkit;

// Made when the tests run, not when they are only listed, so listing needs no display.
class QtEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    static int argc = 1;
    static char name[] = "qt_toolkit_test";
    static char *argv[] = {name, nullptr};
    toolkit = std::make_unique<qtui::QtToolkit>(argc, argv);
    // A box nobody answers would hold its test until the time-out.
    toolkit->answering = true;
    ui::setToolkit(*toolkit);
  }
  void TearDown() override { toolkit.reset(); }
};

[[maybe_unused]] const auto *const environment = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

}  // namespace

qtui::QtToolkit &qtToolkit() {
  return *toolkit;
}

void deleteLeftovers() {
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace kf::test
