#pragma once

// Which data grid asked for a grid reply: each grid registers its requester
// id when its request goes out, and a reply that arrives goes to the grid of
// its id, so that two grids loading at once each get their own rows. A reply
// that nobody waits for is closed unread and logged. UI thread only.

#include "net/namedpipe.h"

class CMyGrid;

void RegisterGridRequester(quint16 requesterId, CMyGrid* grid);
void UnregisterGridRequesters(const CMyGrid* grid);
// The grid of a requester id, null when none.
CMyGrid* GridOfRequester(quint16 requesterId);
// Hands the reply to its grid; false (the end closed) when none waits.
bool RouteGridData(quint16 requesterId, CNamedPipe clientEnd);
