#include "packages/Package.h"

#include <cstddef>
#include <iterator>

#include "binding/Csconfig.h"
#include "binding/Cspublic.h"
#include "binding/Cstypes.h"
#include "binding/Ctpublic.h"
#include "components/SybConnect.h"
#include "vcl/System.h"

namespace kestrel {

namespace {

struct TUnit {
    void (*Start)();
    void (*End)();
};

// The libraries are bound before the connection unit creates the registry.
// Slots marked "not built yet" are filled as the units land.
const TUnit Units[] = {
#if KESTREL_VCL_VERSION == 4
    // SybDataSet: not built yet
    {Csconfig::Initialization, Csconfig::Finalization},
    {Cstypes::Initialization, Cstypes::Finalization},
    {Cspublic::Initialization, Cspublic::Finalization},
    {Ctpublic::Initialization, Ctpublic::Finalization},
    // KestrelAboutFrm: not built yet
    // SybConnectPropertyFrm: not built yet
    {SybConnect::Initialization, SybConnect::Finalization},
#else
    {Cstypes::Initialization, Cstypes::Finalization},
    {Cspublic::Initialization, Cspublic::Finalization},
    {Ctpublic::Initialization, Ctpublic::Finalization},
    {Csconfig::Initialization, Csconfig::Finalization},
    // KestrelAboutFrm: not built yet
    // SybDataSet: not built yet
    // SybConnectPropertyFrm: not built yet
    {SybConnect::Initialization, SybConnect::Finalization},
#endif
};

bool Initialized = false;
bool Finalized = false;
size_t StartedUnits = 0;

} // namespace

void Initialize() {
    if (Initialized) return;
    Initialized = true;
    for (const TUnit& unit : Units) {
        unit.Start();
        ++StartedUnits;
    }
}

void Finalize() {
    if (!Initialized || Finalized) return;
    Finalized = true;
    while (StartedUnits > 0) Units[--StartedUnits].End();
    vcl::RunExitProcs();
}

} // namespace kestrel
