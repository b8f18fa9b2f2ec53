#pragma once

#include <memory>

#include "platform/hresult.h"

namespace vantor {

// The media server's automation objects. The tool never keeps one: each operation creates its
// object through the factory, uses it and releases it. Creation fails (nullptr) exactly when the
// object cannot be reached.

// Vantor.VTRConfig
class VtrConfigObject {
public:
    virtual ~VtrConfigObject() = default;
    // The server re-reads config.vtr.
    virtual HResult ReloadConfiguration() = 0;
};

class AutomationFactory {
public:
    virtual ~AutomationFactory() = default;
    virtual std::unique_ptr<VtrConfigObject> CreateVtrConfig() = 0;
};

}  // namespace vantor
