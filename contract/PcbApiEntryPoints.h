// Every name of the host PCB server that the plug-in binds at load, in the
// host's family order. CALLED(name, absent) marks the entry points that the
// plug-in calls (declared in PcbApi.h), with the value their wrapper returns
// when the server does not export the name; BOUND(name) marks those that are
// only looked up and kept. The table, the binding and the wrappers are all
// generated from this one list.
#pragma once

#define PCBAPI_ENTRY_POINTS(CALLED, BOUND)                  \
  /* Editor and document (23) */                            \
  CALLED(PcbApi_GetCurrentBoardHandle, 0)                   \
  BOUND(PcbApi_QueryFocusedPrimitive)                       \
  BOUND(PcbApi_GetCurrentComponent)                         \
  BOUND(PcbApi_SendCommand)                                 \
  BOUND(PcbApi_GetCurrentEditorWindow)                      \
  BOUND(PcbApi_ClearUndoRedo)                               \
  BOUND(PcbApi_SetCurrentBoardHandle)                       \
  BOUND(PcbApi_GetBoardHandleFromFileName)                  \
  BOUND(PcbApi_GetBoardHandleFromFullFileName)              \
  BOUND(PcbApi_GetObjectAtCursor)                           \
  BOUND(PcbApi_GetObjectAtXYAskUserIfAmbiguous)             \
  BOUND(PcbApi_ExecuteMacroExt)                             \
  BOUND(PcbApi_ExecuteMacro)                                \
  BOUND(PcbApi_RunNetAnalyser)                              \
  BOUND(PcbApi_LoadComponentFromLibrary)                    \
  BOUND(PcbApi_ChooseRectangleByCorners)                    \
  BOUND(PcbApi_ChooseLocation)                              \
  BOUND(PcbApi_QueryCursorLocation)                         \
  BOUND(PcbApi_AnalyzeNet)                                  \
  BOUND(PcbApi_ShowObject)                                  \
  BOUND(PcbApi_HideObject)                                  \
  BOUND(PcbApi_InvertObject)                                \
  BOUND(PcbApi_ScreenDisplay)                               \
  /* Progress (4) */                                        \
  CALLED(PcbApi_Percent_Init, 0)                            \
  CALLED(PcbApi_Percent_Update, 0)                          \
  CALLED(PcbApi_Percent_Finish, 0)                          \
  BOUND(PcbApi_Percent_UpdateByNumber)                      \
  /* Object creation and containers (11) */                 \
  BOUND(PcbApi_CreateObject)                                \
  BOUND(PcbApi_CreateDimensionObject)                       \
  BOUND(PcbApi_DestroyObject)                               \
  BOUND(PcbApi_CreateRuleObject)                            \
  BOUND(PcbApi_CreateClassObject)                           \
  BOUND(PcbApi_CreateClassObjectEx)                         \
  BOUND(PcbApi_AddObjectToContainer)                        \
  BOUND(PcbApi_SetOwnerBoard)                               \
  BOUND(PcbApi_DeleteObjectFromContainer)                   \
  BOUND(PcbApi_CreateBoardOutline)                          \
  BOUND(PcbApi_UpdateBoardOutline)                          \
  /* Generic object queries (9) */                          \
  CALLED(PcbApi_QueryPrimitive, 0)                          \
  CALLED(PcbApi_QueryObjectBoundingRectangle, 0)            \
  CALLED(PcbApi_QueryObjectImport_FromUser, 0)              \
  CALLED(PcbApi_QueryObjectGraphicallyInvalidate, 0)        \
  CALLED(PcbApi_GetObjectIdFromObjectHandle, 0)             \
  CALLED(PcbApi_GetObjectBitField2, 0)                      \
  CALLED(PcbApi_GetObjectBitField3, 0)                      \
  BOUND(PcbApi_QueryObjectSetState_Default)                 \
  BOUND(PcbApi_QueryObjectParameters)                       \
  /* Primitive queries (7) */                               \
  CALLED(PcbApi_QueryTrack, 0)                              \
  CALLED(PcbApi_QueryVia, 0)                                \
  CALLED(PcbApi_QueryCoordinate, 0)                         \
  CALLED(PcbApi_QueryFill, 0)                               \
  CALLED(PcbApi_QueryArc, 0)                                \
  CALLED(PcbApi_QueryText, 0)                               \
  CALLED(PcbApi_QueryPolygon, 0)                            \
  /* Pads (9) */                                            \
  CALLED(PcbApi_QueryPad, 0)                                \
  CALLED(PcbApi_QueryPadOrViaShapeOnLayer, 0)               \
  CALLED(PcbApi_SetPadShapeOnLayer, 0)                      \
  CALLED(PcbApi_SetPadSizeOnLayer, 0)                       \
  CALLED(PcbApi_QueryPadStackMode, 0)                       \
  CALLED(PcbApi_QueryPadOrViaSizeOnLayer, 0)                \
  CALLED(PcbApi_QueryPad_PwrGnd, 0)                         \
  BOUND(PcbApi_QueryPadCache)                               \
  BOUND(PcbApi_QueryPadConnectToLayer)                      \
  /* Nets, classes and from-tos (8) */                      \
  CALLED(PcbApi_QueryNet, 0)                                \
  CALLED(PcbApi_QueryClass, 0)                              \
  CALLED(PcbApi_GetMemberFromClassAt, 1)                    \
  CALLED(PcbApi_AddMemberToClass, 1)                        \
  CALLED(PcbApi_RemoveAllMembersFromClass, 1)               \
  CALLED(PcbApi_QueryFromTo, 0)                             \
  CALLED(PcbApi_QueryManualFromTo, 1)                       \
  BOUND(PcbApi_QueryNetRules)                               \
  /* Dimensions (18) */                                     \
  CALLED(PcbApi_QueryDimension, 0)                          \
  CALLED(PcbApi_QueryExtDimension, 0)                       \
  CALLED(PcbApi_References_Count, 0)                        \
  CALLED(PcbApi_References_At, 0)                           \
  BOUND(PcbApi_References_Add)                              \
  BOUND(PcbApi_TextLocations_Count)                         \
  BOUND(PcbApi_TextLocations_At)                            \
  BOUND(PcbApi_TextLocations_Add)                           \
  BOUND(PcbApi_QueryLinearDimension)                        \
  BOUND(PcbApi_QueryAngularDimension)                       \
  BOUND(PcbApi_QueryRadialDimension)                        \
  BOUND(PcbApi_QueryLeaderDimension)                        \
  BOUND(PcbApi_QueryDatumDimension)                         \
  BOUND(PcbApi_QueryBaselineDimension)                      \
  BOUND(PcbApi_QueryCenterDimension)                        \
  BOUND(PcbApi_QueryOriginalDimension)                      \
  BOUND(PcbApi_QueryLinearDiameterDimension)                \
  BOUND(PcbApi_QueryRadialDiameterDimension)                \
  /* Components (9) */                                      \
  CALLED(PcbApi_QueryComponent, 0)                          \
  CALLED(PcbApi_QueryComponentEx, 0)                        \
  CALLED(PcbApi_QueryComponentSourceLinks, 0)               \
  CALLED(PcbApi_QueryComponentKind, 0)                      \
  CALLED(PcbApi_QueryComponentChannelOffset, 0)             \
  BOUND(PcbApi_QueryLibComponent)                           \
  BOUND(PcbApi_QueryComponent_ApplyAutopositionNameComment) \
  BOUND(PcbApi_QueryComponentUniqueId)                      \
  BOUND(PcbApi_QueryComponent_GetObjectAt)                  \
  /* Board and board options (20) */                        \
  CALLED(PcbApi_QueryBoard, 0)                              \
  CALLED(PcbApi_QueryBoardGridsEx, 0)                       \
  CALLED(PcbApi_QueryBoardLayerPairsCount, 1)               \
  CALLED(PcbApi_QueryBoardLayerPairAt, 0)                   \
  CALLED(PcbApi_QueryBoardEngineeringChangeOrderOptions, 0) \
  CALLED(PcbApi_QueryBoardOutputOptions, 0)                 \
  CALLED(PcbApi_QueryBoardOutputOptionsPlotLayers, 0)       \
  CALLED(PcbApi_QueryBoardOutputOptionsFlipLayers, 0)       \
  CALLED(PcbApi_QueryBoardGerberOptions, 0)                 \
  CALLED(PcbApi_QueryBoardPrinterOptions, 0)                \
  CALLED(PcbApi_QueryBoardPrinterOptionsPlotterPen, 0)      \
  CALLED(PcbApi_QueryBoardPrinterOptionsCompositeLayer, 0)  \
  CALLED(PcbApi_QueryBoardAdvancedPlacerOptions, 0)         \
  CALLED(PcbApi_QueryBoardLayerInfo, 0)                     \
  BOUND(PcbApi_QuerySheet)                                  \
  BOUND(PcbApi_QueryBoardGrids)                             \
  BOUND(PcbApi_QueryBoardAdvancedPlacerOptionsExt)          \
  BOUND(PcbApi_QueryBoardDesignRuleCheckerOptions)          \
  BOUND(PcbApi_QueryBoardWindowRectangle)                   \
  BOUND(PcbApi_QueryBoardInternalPlaneNets)                 \
  /* Layers (6) */                                          \
  CALLED(PcbApi_QueryLayer, 0)                              \
  CALLED(PcbApi_QueryInternalPlane, 0)                      \
  CALLED(PcbApi_QueryLayerDielectric, 0)                    \
  CALLED(PcbApi_QueryBoardExternalDielectrics, 0)           \
  BOUND(PcbApi_InsertLayerInStack)                          \
  BOUND(PcbApi_RemoveLayerFromStack)                        \
  /* System options (15) */                                 \
  BOUND(PcbApi_QuerySystemOptions)                          \
  BOUND(PcbApi_QuerySystemOptionsPlaceArray)                \
  BOUND(PcbApi_QuerySystemOptionsPorts)                     \
  BOUND(PcbApi_QuerySystemOptionsMiscellaneousEx)           \
  BOUND(PcbApi_QuerySystemOptionsMiscellaneous)             \
  BOUND(PcbApi_GetState_ComponentTypeMappingsCount)         \
  BOUND(PcbApi_SetState_DeleteAllComponentTypeMappings)     \
  BOUND(PcbApi_SetState_AddComponentTypeMapping)            \
  BOUND(PcbApi_GetState_ComponentTypeMappingAt)             \
  BOUND(PcbApi_QuerySystemGetGlobalPrimitive)               \
  BOUND(PcbApi_QuerySystemGetGlobalDimension)               \
  BOUND(PcbApi_QueryEmbedded)                               \
  BOUND(PcbApi_QuerySystemOptionsLayerDrawingOrder)         \
  BOUND(PcbApi_QuerySystemOptionsPolygon)                   \
  BOUND(PcbApi_QuerySystemOptionsProtection)                \
  /* Rule lookup (6) */                                     \
  CALLED(PcbApi_FindDominantRuleForObject, 0)               \
  BOUND(PcbApi_FindDominantRuleForObjectPair)               \
  BOUND(PcbApi_QueryViolation)                              \
  BOUND(PCBAPI_GetUnaryRuleForPrimitive)                    \
  BOUND(PCBAPI_GetBinaryRuleForPrimitive)                   \
  BOUND(PCBAPI_CheckPrimitivesOverlapWithClearance)         \
  /* Rules and scopes (11) */                               \
  CALLED(PcbApi_QueryRule, 0)                               \
  BOUND(PcbApi_QueryRuleEx)                                 \
  BOUND(PcbApi_QueryRuleScopeDescriptions)                  \
  BOUND(PcbApi_Scope2_Includes)                             \
  BOUND(PcbApi_Scope1_Includes)                             \
  BOUND(PcbApi_QueryRuleExt)                                \
  BOUND(PcbApi_QueryRuleExtEx)                              \
  BOUND(PcbApi_SetState_DeleteAllSubScopes)                 \
  BOUND(PcbApi_SetState_AddSubscope)                        \
  BOUND(PcbApi_GetState_SubScopesCount)                     \
  BOUND(PcbApi_GetState_SubscopeAt)                         \
  /* Rule value queries (43) */                             \
  CALLED(PcbApi_QueryRuleClearanceConstraint, 0)            \
  CALLED(PcbApi_QueryRuleMaxMinWidthConstraint, 0)          \
  CALLED(PcbApi_QueryRuleRoutingViaStyleRule, 0)            \
  CALLED(PcbApi_QueryRuleRoutingTopologyRule, 0)            \
  CALLED(PcbApi_QueryRuleRoutingPriorityRule, 0)            \
  CALLED(PcbApi_QueryRulePowerPlaneConnectStyleRule, 0)     \
  CALLED(PcbApi_QueryRulePasteMaskExpansionRule, 0)         \
  CALLED(PcbApi_QueryRuleSolderMaskExpansionRule, 0)        \
  CALLED(PcbApi_QueryRulePowerPlaneExpansionRule, 0)        \
  BOUND(PcbApi_QueryRuleParallelSegmentConstraint)          \
  BOUND(PcbApi_QueryRuleMaxMinLengthConstraint)             \
  BOUND(PcbApi_QueryRuleMaxMinWidthConstraintExt)           \
  BOUND(PcbApi_QueryRuleRoutingCornerStyleRule)             \
  BOUND(PcbApi_QueryRuleRoutingViaStyleRuleExt)             \
  BOUND(PcbApi_QueryRuleRoutingLayersRule)                  \
  BOUND(PcbApi_QueryRuleDaisyChainStubLengthConstraint)     \
  BOUND(PcbApi_QueryRuleMatchedNetLengthsConstraint)        \
  BOUND(PcbApi_QueryRuleShortCircuitConstraint)             \
  BOUND(PcbApi_QueryRuleBrokenNetRule)                      \
  BOUND(PcbApi_QueryRuleViasUnderSMDConstraint)             \
  BOUND(PcbApi_QueryRuleMaximumViaCountRule)                \
  BOUND(PcbApi_QueryRuleMinimumAnnularRingRule)             \
  BOUND(PcbApi_QueryRuleAcuteAngleRule)                     \
  BOUND(PcbApi_QueryRuleConfinementConstraint)              \
  BOUND(PcbApi_QueryRuleSMDToCorner)                        \
  BOUND(PcbApi_QueryRuleComponentClearanceConstraint)       \
  BOUND(PcbApi_QueryRuleComponentRotationsRule)             \
  BOUND(PcbApi_QueryRulePermittedLayersRule)                \
  BOUND(PcbApi_QueryRuleSignalStimulus)                     \
  BOUND(PcbApi_QueryRuleMaxOvershootRise)                   \
  BOUND(PcbApi_QueryRuleMaxOvershootFall)                   \
  BOUND(PcbApi_QueryRuleMaxUndershootRise)                  \
  BOUND(PcbApi_QueryRuleMaxUndershootFall)                  \
  BOUND(PcbApi_QueryRuleMaxMinImpedance)                    \
  BOUND(PcbApi_QueryRuleMinSignalTopValue)                  \
  BOUND(PcbApi_QueryRuleMaxSignalBaseValue)                 \
  BOUND(PcbApi_QueryRuleFlightTime_RisingEdge)              \
  BOUND(PcbApi_QueryRuleFlightTime_FallingEdge)             \
  BOUND(PcbApi_QueryRuleMaxSlope_RisingEdge)                \
  BOUND(PcbApi_QueryRuleMaxSlope_FallingEdge)               \
  BOUND(PcbApi_QueryRuleSupplyNets)                         \
  BOUND(PcbApi_QueryRuleTestpointUsage)                     \
  BOUND(PcbApi_QueryRuleTestpointStyle)                     \
  /* Iteration (8) */                                       \
  CALLED(PcbApi_CreateIterator, 0)                          \
  CALLED(PcbApi_DestroyIterator, 0)                         \
  CALLED(PcbApi_GetNextObject, 0)                           \
  CALLED(PcbApi_GetFirstObject, 0)                          \
  BOUND(PcbApi_CreateSpatialIterator)                       \
  BOUND(PcbApi_DestroySpatialIterator)                      \
  BOUND(PcbApi_GetNextSpatialObject)                        \
  BOUND(PcbApi_GetFirstSpatialObject)                       \
  /* Design tests (7) */                                    \
  BOUND(PcbApi_TestTrack)                                   \
  BOUND(PcbApi_TestFill)                                    \
  BOUND(PcbApi_TestPad)                                     \
  BOUND(PcbApi_TestArc)                                     \
  BOUND(PcbApi_TestText)                                    \
  BOUND(PcbApi_TestVia)                                     \
  BOUND(PcbApi_ConvertTextToStrokeArray)                    \
  /* Events and robots (15) */                              \
  BOUND(PcbApi_EventRouter_SendMessage)                     \
  BOUND(PcbApi_GetState_ProcessDepth)                       \
  BOUND(PcbApi_SetState_ProcessDepth)                       \
  BOUND(PcbApi_RunEventHandler)                             \
  BOUND(PcbApi_CreateEventHandler)                          \
  BOUND(PcbApi_DestroyEventHandler)                         \
  BOUND(PcbApi_EventHandlerPerformanceIsPoor)               \
  BOUND(PcbApi_AddRobotToRobotsList)                        \
  BOUND(PcbApi_RemoveRobotFromRobotsList)                   \
  BOUND(PcbApi_GetRobotAt)                                  \
  BOUND(PcbApi_GetRobotsCount)                              \
  BOUND(PcbApi_CreateRobot)                                 \
  BOUND(PcbApi_DeleteRobot)                                 \
  BOUND(PcbApi_GetRobotObjectHandleByName)                  \
  BOUND(PcbApi_GetRobotNameAndCallback)                     \
  /* Palette, panel, painters and library readers (9) */    \
  BOUND(PcbApi_GetPalette)                                  \
  BOUND(PcbApi_ChangePanelHandle)                           \
  BOUND(PcbApi_ResetPanel)                                  \
  BOUND(PcbApi_CreatePainter)                               \
  BOUND(PcbApi_Export_ToPainter)                            \
  BOUND(PcbApi_CreateLibReader)                             \
  BOUND(PcbApi_GetLibReaderCount)                           \
  BOUND(PcbApi_GetLibReaderPattern)                         \
  BOUND(PcbApi_DestroyLibReader)                            \
  /* end */
