// Floats as SQL number text: the framework's general float text with '.',
// which reads no locale setting, so nothing process-wide can reach the literal.
#include "components/SybConnect/internal/SqlText.h"
#include "vcl/DateTime.h"

namespace SybConnect {

std::string FloatToSqlText(double Value) { return vcl::FloatToStrDot(Value); }

} // namespace SybConnect
