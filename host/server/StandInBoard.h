// The in-memory board of the stand-in PCB server: the model, the board and
// the server in one include.
//
// One Server per process (TheServer()) owns every host object: boards, the
// primitives and group objects on them, rules, classes.
//
// Building a board (what a board-file reader does):
//   auto& s = standin::TheServer();
//   s.Reset();
//   ObjectHandle board = s.CreateBoard();            // becomes the current board
//   ObjectHandle gnd = s.Add(standin::Net{...});
//   standin::Track t; t.net = gnd; t.layer = kTopLayer; ...
//   s.Add(t);                                        // a free track
//   ObjectHandle c = s.Add(standin::Component{...});
//   s.AddDesignator(c, text); s.AddComment(c, text);
//   s.Add(pad, c);                                   // a member of c
// Board walks yield, per kind, the members of each component (components in
// the order they were added, members in the order they were added), then the
// free objects in the order they were added.
#pragma once

#include "server/BoardModel.h"
#include "server/Objects.h"
#include "server/Recording.h"
#include "server/Server.h"
