#pragma once
// Switches a fault of a shared stand-in service on for one scope (GoogleTest tests).

#include <gtest/gtest.h>

#include <string>

#include "core/support/StandinService.h"

namespace vantrel::test {

class FaultOn {
public:
    FaultOn(StandinService& service, std::string name) : service_(service), name_(std::move(name)) {
        EXPECT_TRUE(service_.SetFault(name_, true)) << name_;
    }
    ~FaultOn() { service_.SetFault(name_, false); }

private:
    StandinService& service_;
    std::string name_;
};

}  // namespace vantrel::test
