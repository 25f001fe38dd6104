// Every name of the host PCB server that the plug-in binds at load, in the
// host's family order, one family per list. Each row carries every property
// of its entry point:
//   CALLED(name, absent, wrap)  an entry point the plug-in calls (declared in
//     PcbApi.h): `absent` is what its wrapper returns when the server does
//     not export the name, `wrap` what the wrapper does beyond passing the
//     call on (PcbApiWrap below);
//   BOUND(name)  an entry point only looked up and kept.
// The table, the binding and the wrappers of the plug-in and the stand-in
// server's export table are all generated from PCBAPI_ENTRY_POINTS.
#pragma once

// What a called entry point's wrapper does beyond passing the call on,
// combined with |.
enum PcbApiWrap : unsigned {
  kWrapPlain = 0,
  kWrapNoResult = 1,      // returns nothing, whatever the server returns
  kWrapCopiesString = 2,  // hands the server a 256-byte copy of its string argument
};

// Editor and document (23)
#define PCBAPI_EDITOR_ENTRIES(CALLED, BOUND)                            \
  CALLED(PcbApi_GetCurrentBoardHandle, 0, kWrapPlain)                   \
  BOUND(PcbApi_QueryFocusedPrimitive)                                   \
  BOUND(PcbApi_GetCurrentComponent)                                     \
  BOUND(PcbApi_SendCommand)                                             \
  BOUND(PcbApi_GetCurrentEditorWindow)                                  \
  BOUND(PcbApi_ClearUndoRedo)                                           \
  BOUND(PcbApi_SetCurrentBoardHandle)                                   \
  BOUND(PcbApi_GetBoardHandleFromFileName)                              \
  BOUND(PcbApi_GetBoardHandleFromFullFileName)                          \
  BOUND(PcbApi_GetObjectAtCursor)                                       \
  BOUND(PcbApi_GetObjectAtXYAskUserIfAmbiguous)                         \
  BOUND(PcbApi_ExecuteMacroExt)                                         \
  BOUND(PcbApi_ExecuteMacro)                                            \
  BOUND(PcbApi_RunNetAnalyser)                                          \
  BOUND(PcbApi_LoadComponentFromLibrary)                                \
  BOUND(PcbApi_ChooseRectangleByCorners)                                \
  BOUND(PcbApi_ChooseLocation)                                          \
  BOUND(PcbApi_QueryCursorLocation)                                     \
  BOUND(PcbApi_AnalyzeNet)                                              \
  BOUND(PcbApi_ShowObject)                                              \
  BOUND(PcbApi_HideObject)                                              \
  BOUND(PcbApi_InvertObject)                                            \
  BOUND(PcbApi_ScreenDisplay)

// Progress (4)
#define PCBAPI_PROGRESS_ENTRIES(CALLED, BOUND)                          \
  CALLED(PcbApi_Percent_Init, 0, kWrapNoResult | kWrapCopiesString)     \
  CALLED(PcbApi_Percent_Update, 0, kWrapNoResult)                       \
  CALLED(PcbApi_Percent_Finish, 0, kWrapNoResult)                       \
  BOUND(PcbApi_Percent_UpdateByNumber)

// Object creation and containers (11)
#define PCBAPI_CREATION_ENTRIES(CALLED, BOUND)                          \
  BOUND(PcbApi_CreateObject)                                            \
  BOUND(PcbApi_CreateDimensionObject)                                   \
  BOUND(PcbApi_DestroyObject)                                           \
  BOUND(PcbApi_CreateRuleObject)                                        \
  BOUND(PcbApi_CreateClassObject)                                       \
  BOUND(PcbApi_CreateClassObjectEx)                                     \
  BOUND(PcbApi_AddObjectToContainer)                                    \
  BOUND(PcbApi_SetOwnerBoard)                                           \
  BOUND(PcbApi_DeleteObjectFromContainer)                               \
  BOUND(PcbApi_CreateBoardOutline)                                      \
  BOUND(PcbApi_UpdateBoardOutline)

// Generic object queries (9)
#define PCBAPI_OBJECT_ENTRIES(CALLED, BOUND)                            \
  CALLED(PcbApi_QueryPrimitive, 0, kWrapPlain)                          \
  CALLED(PcbApi_QueryObjectBoundingRectangle, 0, kWrapPlain)            \
  CALLED(PcbApi_QueryObjectImport_FromUser, 0, kWrapPlain)              \
  CALLED(PcbApi_QueryObjectGraphicallyInvalidate, 0, kWrapPlain)        \
  CALLED(PcbApi_GetObjectIdFromObjectHandle, 0, kWrapPlain)             \
  CALLED(PcbApi_GetObjectBitField2, 0, kWrapNoResult)                   \
  CALLED(PcbApi_GetObjectBitField3, 0, kWrapNoResult)                   \
  BOUND(PcbApi_QueryObjectSetState_Default)                             \
  BOUND(PcbApi_QueryObjectParameters)

// Primitive queries (7)
#define PCBAPI_PRIMITIVE_ENTRIES(CALLED, BOUND)                         \
  CALLED(PcbApi_QueryTrack, 0, kWrapPlain)                              \
  CALLED(PcbApi_QueryVia, 0, kWrapPlain)                                \
  CALLED(PcbApi_QueryCoordinate, 0, kWrapPlain)                         \
  CALLED(PcbApi_QueryFill, 0, kWrapPlain)                               \
  CALLED(PcbApi_QueryArc, 0, kWrapPlain)                                \
  CALLED(PcbApi_QueryText, 0, kWrapPlain)                               \
  CALLED(PcbApi_QueryPolygon, 0, kWrapPlain)

// Pads (9)
#define PCBAPI_PAD_ENTRIES(CALLED, BOUND)                               \
  CALLED(PcbApi_QueryPad, 0, kWrapPlain)                                \
  CALLED(PcbApi_QueryPadOrViaShapeOnLayer, 0, kWrapPlain)               \
  CALLED(PcbApi_SetPadShapeOnLayer, 0, kWrapPlain)                      \
  CALLED(PcbApi_SetPadSizeOnLayer, 0, kWrapPlain)                       \
  CALLED(PcbApi_QueryPadStackMode, 0, kWrapPlain)                       \
  CALLED(PcbApi_QueryPadOrViaSizeOnLayer, 0, kWrapPlain)                \
  CALLED(PcbApi_QueryPad_PwrGnd, 0, kWrapPlain)                         \
  BOUND(PcbApi_QueryPadCache)                                           \
  BOUND(PcbApi_QueryPadConnectToLayer)

// Nets, classes and from-tos (8)
#define PCBAPI_NET_ENTRIES(CALLED, BOUND)                               \
  CALLED(PcbApi_QueryNet, 0, kWrapPlain)                                \
  CALLED(PcbApi_QueryClass, 0, kWrapPlain)                              \
  /* 1: no member at the index, the walk ends */                        \
  CALLED(PcbApi_GetMemberFromClassAt, 1, kWrapPlain)                    \
  /* status 1: the member is not added */                               \
  CALLED(PcbApi_AddMemberToClass, 1, kWrapCopiesString)                 \
  /* status 1: the members are not removed */                           \
  CALLED(PcbApi_RemoveAllMembersFromClass, 1, kWrapPlain)               \
  CALLED(PcbApi_QueryFromTo, 0, kWrapPlain)                             \
  /* status 1: nothing is read */                                       \
  CALLED(PcbApi_QueryManualFromTo, 1, kWrapPlain)                       \
  BOUND(PcbApi_QueryNetRules)

// Dimensions (18)
#define PCBAPI_DIMENSION_ENTRIES(CALLED, BOUND)                         \
  CALLED(PcbApi_QueryDimension, 0, kWrapPlain)                          \
  CALLED(PcbApi_QueryExtDimension, 0, kWrapPlain)                       \
  CALLED(PcbApi_References_Count, 0, kWrapPlain)                        \
  CALLED(PcbApi_References_At, 0, kWrapPlain)                           \
  BOUND(PcbApi_References_Add)                                          \
  BOUND(PcbApi_TextLocations_Count)                                     \
  BOUND(PcbApi_TextLocations_At)                                        \
  BOUND(PcbApi_TextLocations_Add)                                       \
  BOUND(PcbApi_QueryLinearDimension)                                    \
  BOUND(PcbApi_QueryAngularDimension)                                   \
  BOUND(PcbApi_QueryRadialDimension)                                    \
  BOUND(PcbApi_QueryLeaderDimension)                                    \
  BOUND(PcbApi_QueryDatumDimension)                                     \
  BOUND(PcbApi_QueryBaselineDimension)                                  \
  BOUND(PcbApi_QueryCenterDimension)                                    \
  BOUND(PcbApi_QueryOriginalDimension)                                  \
  BOUND(PcbApi_QueryLinearDiameterDimension)                            \
  BOUND(PcbApi_QueryRadialDiameterDimension)

// Components (9)
#define PCBAPI_COMPONENT_ENTRIES(CALLED, BOUND)                         \
  CALLED(PcbApi_QueryComponent, 0, kWrapPlain)                          \
  CALLED(PcbApi_QueryComponentEx, 0, kWrapPlain)                        \
  CALLED(PcbApi_QueryComponentSourceLinks, 0, kWrapPlain)               \
  CALLED(PcbApi_QueryComponentKind, 0, kWrapPlain)                      \
  CALLED(PcbApi_QueryComponentChannelOffset, 0, kWrapPlain)             \
  BOUND(PcbApi_QueryLibComponent)                                       \
  BOUND(PcbApi_QueryComponent_ApplyAutopositionNameComment)             \
  BOUND(PcbApi_QueryComponentUniqueId)                                  \
  BOUND(PcbApi_QueryComponent_GetObjectAt)

// Board and board options (20)
#define PCBAPI_BOARD_ENTRIES(CALLED, BOUND)                             \
  CALLED(PcbApi_QueryBoard, 0, kWrapPlain)                              \
  CALLED(PcbApi_QueryBoardGridsEx, 0, kWrapPlain)                       \
  /* status 1: no layer pair is read */                                 \
  CALLED(PcbApi_QueryBoardLayerPairsCount, 1, kWrapPlain)               \
  CALLED(PcbApi_QueryBoardLayerPairAt, 0, kWrapPlain)                   \
  CALLED(PcbApi_QueryBoardEngineeringChangeOrderOptions, 0, kWrapPlain) \
  CALLED(PcbApi_QueryBoardOutputOptions, 0, kWrapPlain)                 \
  CALLED(PcbApi_QueryBoardOutputOptionsPlotLayers, 0, kWrapPlain)       \
  CALLED(PcbApi_QueryBoardOutputOptionsFlipLayers, 0, kWrapPlain)       \
  CALLED(PcbApi_QueryBoardGerberOptions, 0, kWrapPlain)                 \
  CALLED(PcbApi_QueryBoardPrinterOptions, 0, kWrapPlain)                \
  CALLED(PcbApi_QueryBoardPrinterOptionsPlotterPen, 0, kWrapPlain)      \
  CALLED(PcbApi_QueryBoardPrinterOptionsCompositeLayer, 0, kWrapPlain)  \
  CALLED(PcbApi_QueryBoardAdvancedPlacerOptions, 0, kWrapPlain)         \
  CALLED(PcbApi_QueryBoardLayerInfo, 0, kWrapPlain)                     \
  BOUND(PcbApi_QuerySheet)                                              \
  BOUND(PcbApi_QueryBoardGrids)                                         \
  BOUND(PcbApi_QueryBoardAdvancedPlacerOptionsExt)                      \
  BOUND(PcbApi_QueryBoardDesignRuleCheckerOptions)                      \
  BOUND(PcbApi_QueryBoardWindowRectangle)                               \
  BOUND(PcbApi_QueryBoardInternalPlaneNets)

// Layers (6)
#define PCBAPI_LAYER_ENTRIES(CALLED, BOUND)                             \
  CALLED(PcbApi_QueryLayer, 0, kWrapPlain)                              \
  CALLED(PcbApi_QueryInternalPlane, 0, kWrapPlain)                      \
  CALLED(PcbApi_QueryLayerDielectric, 0, kWrapPlain)                    \
  CALLED(PcbApi_QueryBoardExternalDielectrics, 0, kWrapPlain)           \
  BOUND(PcbApi_InsertLayerInStack)                                      \
  BOUND(PcbApi_RemoveLayerFromStack)

// System options (15)
#define PCBAPI_SYSTEM_ENTRIES(CALLED, BOUND)                            \
  BOUND(PcbApi_QuerySystemOptions)                                      \
  BOUND(PcbApi_QuerySystemOptionsPlaceArray)                            \
  BOUND(PcbApi_QuerySystemOptionsPorts)                                 \
  BOUND(PcbApi_QuerySystemOptionsMiscellaneousEx)                       \
  BOUND(PcbApi_QuerySystemOptionsMiscellaneous)                         \
  BOUND(PcbApi_GetState_ComponentTypeMappingsCount)                     \
  BOUND(PcbApi_SetState_DeleteAllComponentTypeMappings)                 \
  BOUND(PcbApi_SetState_AddComponentTypeMapping)                        \
  BOUND(PcbApi_GetState_ComponentTypeMappingAt)                         \
  BOUND(PcbApi_QuerySystemGetGlobalPrimitive)                           \
  BOUND(PcbApi_QuerySystemGetGlobalDimension)                           \
  BOUND(PcbApi_QueryEmbedded)                                           \
  BOUND(PcbApi_QuerySystemOptionsLayerDrawingOrder)                     \
  BOUND(PcbApi_QuerySystemOptionsPolygon)                               \
  BOUND(PcbApi_QuerySystemOptionsProtection)

// Rule lookup (6)
#define PCBAPI_RULE_LOOKUP_ENTRIES(CALLED, BOUND)                       \
  CALLED(PcbApi_FindDominantRuleForObject, 0, kWrapPlain)               \
  BOUND(PcbApi_FindDominantRuleForObjectPair)                           \
  BOUND(PcbApi_QueryViolation)                                          \
  BOUND(PCBAPI_GetUnaryRuleForPrimitive)                                \
  BOUND(PCBAPI_GetBinaryRuleForPrimitive)                               \
  BOUND(PCBAPI_CheckPrimitivesOverlapWithClearance)

// Rules and scopes (11)
#define PCBAPI_RULE_ENTRIES(CALLED, BOUND)                              \
  CALLED(PcbApi_QueryRule, 0, kWrapPlain)                               \
  BOUND(PcbApi_QueryRuleEx)                                             \
  BOUND(PcbApi_QueryRuleScopeDescriptions)                              \
  BOUND(PcbApi_Scope2_Includes)                                         \
  BOUND(PcbApi_Scope1_Includes)                                         \
  BOUND(PcbApi_QueryRuleExt)                                            \
  BOUND(PcbApi_QueryRuleExtEx)                                          \
  BOUND(PcbApi_SetState_DeleteAllSubScopes)                             \
  BOUND(PcbApi_SetState_AddSubscope)                                    \
  BOUND(PcbApi_GetState_SubScopesCount)                                 \
  BOUND(PcbApi_GetState_SubscopeAt)

// Rule value queries (43)
#define PCBAPI_RULE_VALUE_ENTRIES(CALLED, BOUND)                        \
  CALLED(PcbApi_QueryRuleClearanceConstraint, 0, kWrapPlain)            \
  CALLED(PcbApi_QueryRuleMaxMinWidthConstraint, 0, kWrapPlain)          \
  CALLED(PcbApi_QueryRuleRoutingViaStyleRule, 0, kWrapPlain)            \
  CALLED(PcbApi_QueryRuleRoutingTopologyRule, 0, kWrapPlain)            \
  CALLED(PcbApi_QueryRuleRoutingPriorityRule, 0, kWrapPlain)            \
  CALLED(PcbApi_QueryRulePowerPlaneConnectStyleRule, 0, kWrapPlain)     \
  CALLED(PcbApi_QueryRulePasteMaskExpansionRule, 0, kWrapPlain)         \
  CALLED(PcbApi_QueryRuleSolderMaskExpansionRule, 0, kWrapPlain)        \
  CALLED(PcbApi_QueryRulePowerPlaneExpansionRule, 0, kWrapPlain)        \
  BOUND(PcbApi_QueryRuleParallelSegmentConstraint)                      \
  BOUND(PcbApi_QueryRuleMaxMinLengthConstraint)                         \
  BOUND(PcbApi_QueryRuleMaxMinWidthConstraintExt)                       \
  BOUND(PcbApi_QueryRuleRoutingCornerStyleRule)                         \
  BOUND(PcbApi_QueryRuleRoutingViaStyleRuleExt)                         \
  BOUND(PcbApi_QueryRuleRoutingLayersRule)                              \
  BOUND(PcbApi_QueryRuleDaisyChainStubLengthConstraint)                 \
  BOUND(PcbApi_QueryRuleMatchedNetLengthsConstraint)                    \
  BOUND(PcbApi_QueryRuleShortCircuitConstraint)                         \
  BOUND(PcbApi_QueryRuleBrokenNetRule)                                  \
  BOUND(PcbApi_QueryRuleViasUnderSMDConstraint)                         \
  BOUND(PcbApi_QueryRuleMaximumViaCountRule)                            \
  BOUND(PcbApi_QueryRuleMinimumAnnularRingRule)                         \
  BOUND(PcbApi_QueryRuleAcuteAngleRule)                                 \
  BOUND(PcbApi_QueryRuleConfinementConstraint)                          \
  BOUND(PcbApi_QueryRuleSMDToCorner)                                    \
  BOUND(PcbApi_QueryRuleComponentClearanceConstraint)                   \
  BOUND(PcbApi_QueryRuleComponentRotationsRule)                         \
  BOUND(PcbApi_QueryRulePermittedLayersRule)                            \
  BOUND(PcbApi_QueryRuleSignalStimulus)                                 \
  BOUND(PcbApi_QueryRuleMaxOvershootRise)                               \
  BOUND(PcbApi_QueryRuleMaxOvershootFall)                               \
  BOUND(PcbApi_QueryRuleMaxUndershootRise)                              \
  BOUND(PcbApi_QueryRuleMaxUndershootFall)                              \
  BOUND(PcbApi_QueryRuleMaxMinImpedance)                                \
  BOUND(PcbApi_QueryRuleMinSignalTopValue)                              \
  BOUND(PcbApi_QueryRuleMaxSignalBaseValue)                             \
  BOUND(PcbApi_QueryRuleFlightTime_RisingEdge)                          \
  BOUND(PcbApi_QueryRuleFlightTime_FallingEdge)                         \
  BOUND(PcbApi_QueryRuleMaxSlope_RisingEdge)                            \
  BOUND(PcbApi_QueryRuleMaxSlope_FallingEdge)                           \
  BOUND(PcbApi_QueryRuleSupplyNets)                                     \
  BOUND(PcbApi_QueryRuleTestpointUsage)                                 \
  BOUND(PcbApi_QueryRuleTestpointStyle)

// Iteration (8)
#define PCBAPI_ITERATION_ENTRIES(CALLED, BOUND)                         \
  CALLED(PcbApi_CreateIterator, 0, kWrapPlain)                          \
  CALLED(PcbApi_DestroyIterator, 0, kWrapPlain)                         \
  CALLED(PcbApi_GetNextObject, 0, kWrapPlain)                           \
  CALLED(PcbApi_GetFirstObject, 0, kWrapPlain)                          \
  BOUND(PcbApi_CreateSpatialIterator)                                   \
  BOUND(PcbApi_DestroySpatialIterator)                                  \
  BOUND(PcbApi_GetNextSpatialObject)                                    \
  BOUND(PcbApi_GetFirstSpatialObject)

// Design tests (7)
#define PCBAPI_DESIGN_TEST_ENTRIES(CALLED, BOUND)                       \
  BOUND(PcbApi_TestTrack)                                               \
  BOUND(PcbApi_TestFill)                                                \
  BOUND(PcbApi_TestPad)                                                 \
  BOUND(PcbApi_TestArc)                                                 \
  BOUND(PcbApi_TestText)                                                \
  BOUND(PcbApi_TestVia)                                                 \
  BOUND(PcbApi_ConvertTextToStrokeArray)

// Events and robots (15)
#define PCBAPI_EVENT_ENTRIES(CALLED, BOUND)                             \
  BOUND(PcbApi_EventRouter_SendMessage)                                 \
  BOUND(PcbApi_GetState_ProcessDepth)                                   \
  BOUND(PcbApi_SetState_ProcessDepth)                                   \
  BOUND(PcbApi_RunEventHandler)                                         \
  BOUND(PcbApi_CreateEventHandler)                                      \
  BOUND(PcbApi_DestroyEventHandler)                                     \
  BOUND(PcbApi_EventHandlerPerformanceIsPoor)                           \
  BOUND(PcbApi_AddRobotToRobotsList)                                    \
  BOUND(PcbApi_RemoveRobotFromRobotsList)                               \
  BOUND(PcbApi_GetRobotAt)                                              \
  BOUND(PcbApi_GetRobotsCount)                                          \
  BOUND(PcbApi_CreateRobot)                                             \
  BOUND(PcbApi_DeleteRobot)                                             \
  BOUND(PcbApi_GetRobotObjectHandleByName)                              \
  BOUND(PcbApi_GetRobotNameAndCallback)

// Palette, panel, painters and library readers (9)
#define PCBAPI_LIBRARY_ENTRIES(CALLED, BOUND)                           \
  BOUND(PcbApi_GetPalette)                                              \
  BOUND(PcbApi_ChangePanelHandle)                                       \
  BOUND(PcbApi_ResetPanel)                                              \
  BOUND(PcbApi_CreatePainter)                                           \
  BOUND(PcbApi_Export_ToPainter)                                        \
  BOUND(PcbApi_CreateLibReader)                                         \
  BOUND(PcbApi_GetLibReaderCount)                                       \
  BOUND(PcbApi_GetLibReaderPattern)                                     \
  BOUND(PcbApi_DestroyLibReader)

#define PCBAPI_ENTRY_POINTS(CALLED, BOUND)                              \
  PCBAPI_EDITOR_ENTRIES(CALLED, BOUND)                                  \
  PCBAPI_PROGRESS_ENTRIES(CALLED, BOUND)                                \
  PCBAPI_CREATION_ENTRIES(CALLED, BOUND)                                \
  PCBAPI_OBJECT_ENTRIES(CALLED, BOUND)                                  \
  PCBAPI_PRIMITIVE_ENTRIES(CALLED, BOUND)                               \
  PCBAPI_PAD_ENTRIES(CALLED, BOUND)                                     \
  PCBAPI_NET_ENTRIES(CALLED, BOUND)                                     \
  PCBAPI_DIMENSION_ENTRIES(CALLED, BOUND)                               \
  PCBAPI_COMPONENT_ENTRIES(CALLED, BOUND)                               \
  PCBAPI_BOARD_ENTRIES(CALLED, BOUND)                                   \
  PCBAPI_LAYER_ENTRIES(CALLED, BOUND)                                   \
  PCBAPI_SYSTEM_ENTRIES(CALLED, BOUND)                                  \
  PCBAPI_RULE_LOOKUP_ENTRIES(CALLED, BOUND)                             \
  PCBAPI_RULE_ENTRIES(CALLED, BOUND)                                    \
  PCBAPI_RULE_VALUE_ENTRIES(CALLED, BOUND)                              \
  PCBAPI_ITERATION_ENTRIES(CALLED, BOUND)                               \
  PCBAPI_DESIGN_TEST_ENTRIES(CALLED, BOUND)                             \
  PCBAPI_EVENT_ENTRIES(CALLED, BOUND)                                   \
  PCBAPI_LIBRARY_ENTRIES(CALLED, BOUND)

// The size of a family, counted at compile time.
#define PCBAPI_COUNT_CALLED(name, absent, wrap) +1
#define PCBAPI_COUNT_BOUND(name) +1
#define PCBAPI_FAMILY_SIZE(family) (0 family(PCBAPI_COUNT_CALLED, PCBAPI_COUNT_BOUND))
#define PCBAPI_NOT_COUNTED(...)

static_assert(PCBAPI_FAMILY_SIZE(PCBAPI_EDITOR_ENTRIES) == 23);
static_assert(PCBAPI_FAMILY_SIZE(PCBAPI_PROGRESS_ENTRIES) == 4);
static_assert(PCBAPI_FAMILY_SIZE(PCBAPI_CREATION_ENTRIES) == 11);
static_assert(PCBAPI_FAMILY_SIZE(PCBAPI_OBJECT_ENTRIES) == 9);
static_assert(PCBAPI_FAMILY_SIZE(PCBAPI_PRIMITIVE_ENTRIES) == 7);
static_assert(PCBAPI_FAMILY_SIZE(PCBAPI_PAD_ENTRIES) == 9);
static_assert(PCBAPI_FAMILY_SIZE(PCBAPI_NET_ENTRIES) == 8);
static_assert(PCBAPI_FAMILY_SIZE(PCBAPI_DIMENSION_ENTRIES) == 18);
static_assert(PCBAPI_FAMILY_SIZE(PCBAPI_COMPONENT_ENTRIES) == 9);
static_assert(PCBAPI_FAMILY_SIZE(PCBAPI_BOARD_ENTRIES) == 20);
static_assert(PCBAPI_FAMILY_SIZE(PCBAPI_LAYER_ENTRIES) == 6);
static_assert(PCBAPI_FAMILY_SIZE(PCBAPI_SYSTEM_ENTRIES) == 15);
static_assert(PCBAPI_FAMILY_SIZE(PCBAPI_RULE_LOOKUP_ENTRIES) == 6);
static_assert(PCBAPI_FAMILY_SIZE(PCBAPI_RULE_ENTRIES) == 11);
static_assert(PCBAPI_FAMILY_SIZE(PCBAPI_RULE_VALUE_ENTRIES) == 43);
static_assert(PCBAPI_FAMILY_SIZE(PCBAPI_ITERATION_ENTRIES) == 8);
static_assert(PCBAPI_FAMILY_SIZE(PCBAPI_DESIGN_TEST_ENTRIES) == 7);
static_assert(PCBAPI_FAMILY_SIZE(PCBAPI_EVENT_ENTRIES) == 15);
static_assert(PCBAPI_FAMILY_SIZE(PCBAPI_LIBRARY_ENTRIES) == 9);
static_assert(PCBAPI_FAMILY_SIZE(PCBAPI_ENTRY_POINTS) == 238);
static_assert((0 PCBAPI_ENTRY_POINTS(PCBAPI_COUNT_CALLED, PCBAPI_NOT_COUNTED)) == 74);
