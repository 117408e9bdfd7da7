// The server engine: data files kept as tables of a PostgreSQL server (see
// pg_engine.cpp for the rationale and the database layout).
#pragma once

#include <memory>

#include "recman/engine.h"
#include "recman/engine_choice.h"

namespace recman {

// The server engine of one suite: its root, connection string and schema.
// Connects at the first operation that needs the server.
std::unique_ptr<Engine> NewServerEngine(const SuiteSetting& suite);

// The round trips to the server (libpq calls that waited for its answer)
// of every session of this process so far.
uint64_t ServerRoundTrips();

// Ends the server transactions of every session of this process that still
// runs one (EndServerTransactions). Returns 0 or the first failure.
int16_t EndAllServerTransactions(bool commit);

}  // namespace recman
