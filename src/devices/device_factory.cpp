#include "devices/device_factory.h"

#include "devices/ntrv/ntrv_model.h"
#include "devices/plm/plm_config.h"
#include "devices/zmt/zmt_model.h"

namespace vrs {

std::unique_ptr<DeviceModel> CreateDeviceModel(DeviceType type)
{
    switch (type) {
    case dtPLM: return std::make_unique<TPLMConfig>();
    case dtNTRV: return std::make_unique<NtrvModel>();
    case dtZMT: return std::make_unique<ZmtModel>();
    default: return nullptr;
    }
}

} // namespace vrs
