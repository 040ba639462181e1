#include "vcl/DB/DBError.h"

#include "vcl/Classes.h"

namespace vcl {

void DatabaseError(const std::string& msg, TComponent* component) {
    if (component && !component->Name().empty())
        throw EDatabaseError(component->Name() + ": " + msg);
    throw EDatabaseError(msg);
}

void DatabaseErrorFmt(const std::string& fmt, std::initializer_list<TVarRec> args, TComponent* component) {
    DatabaseError(Format(fmt, args), component);
}

} // namespace vcl
