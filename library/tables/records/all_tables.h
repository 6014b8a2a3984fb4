#pragma once
// Every table of the system: record layouts, declarations, record buffers,
// Table objects and keys, with the registry by number and the path rule.
#include "tables/records/config_tables.h"
#include "tables/records/external_tables.h"
#include "tables/records/message_tables.h"
#include "tables/records/registry.h"
#include "tables/records/scratch_tables.h"
#include "tables/records/table_path.h"
#include "tables/records/wordindex_tables.h"
