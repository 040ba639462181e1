// The Classes unit of the host class library: object root, components with
// ownership and notification, lists, string lists and streams.
#pragma once

#include "vcl/Classes/Object.h"
#include "vcl/Classes/Lists.h"
#include "vcl/Classes/Component.h"
#if __has_include("vcl/Classes/Strings.h")
#include "vcl/Classes/Strings.h"
#endif
#if __has_include("vcl/Classes/Streams.h")
#include "vcl/Classes/Streams.h"
#endif
