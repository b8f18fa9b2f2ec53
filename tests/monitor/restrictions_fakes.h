#pragma once

#include <memory>

#include "ui/ui_fakes.h"

namespace vantor::test {

// A server whose restrictions notification object counts its RestrictionsChanged calls; it
// cannot be reached while up is false.
struct RestrictionsServer : FakeAutomation {
    std::unique_ptr<RestrictionsNotifierObject> CreateRestrictionsNotifier() override {
        struct Object : RestrictionsNotifierObject {
            explicit Object(int& calls) : calls(calls) {}
            HResult RestrictionsChanged() override {
                ++calls;
                return EFail;  // the tool does not look at the answer
            }
            int& calls;
        };
        return up ? std::make_unique<Object>(changed) : nullptr;
    }
    bool up = true;
    int changed = 0;
};

}  // namespace vantor::test
