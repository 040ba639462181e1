// The DB unit of the host class library: datasets, fields, field definitions,
// data sources and data links.
#pragma once

#include "vcl/DB/DBError.h"
#include "vcl/DB/DBTypes.h"
#include "vcl/DB/DataSet.h"
#include "vcl/DB/DataSource.h"
#include "vcl/DB/Field.h"
#include "vcl/DB/FieldDefs.h"
#include "vcl/DB/FieldType.h"
#include "vcl/DB/StdFields.h"
#if __has_include("vcl/DB/Params.h")
#include "vcl/DB/Params.h"
#endif
