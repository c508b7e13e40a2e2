#pragma once
// The program's command identifiers. One number names one command wherever it
// is offered: menu item, accelerator key, tool bar button and context menu
// entry all send the same id, and one update rule decides its state.

#include <string>

namespace vantrel {

enum class CommandId : int {
    // ---- files and documents ----
    FileNew = 57600,
    FileOpen = 57601,  // the standard open dialog (Ctrl+O)
    FileClose = 57602,
    FileSave = 57603,  // "Save Document"
    FileSaveAs = 57604,
    FilePrintSetup = 57606,
    FilePrint = 57607,
    FilePrintPreview = 57609,
    RecentFile1 = 57616,
    RecentFile2 = 57617,
    RecentFile3 = 57618,
    RecentFile4 = 57619,
    AppExit = 57665,
    OpenDocument = 32869,  // "Open..." with the four-entry filter
    QuickAnimation = 32867,
    SaveAnimation = 32789,
    SaveAnimationAs = 32835,
    ExportFrame = 32889,
    ImportImage = 32788,

    // ---- clipboard and items ----
    EditCut = 57635,
    EditCopy = 57634,
    EditPaste = 57637,
    EditUndo = 57643,
    EditRedo = 57644,
    DeleteItems = 32791,
    SelectAll = 32790,
    AlignCenter = 32896,
    MoveBy = 32897,
    BringToFront = 32804,
    SendToBack = 32807,
    ImageSize = 32800,
    CanvasSize = 32801,
    ConvertToBitmap = 32802,
    ResizeAnimation = 33112,  // scales the canvas and every item of every frame
    Combine = 32803,
    CombineFromContextMenu = 32892,  // no command serves it
    EditText = 32837,
    ChangeFont = 32841,
    RectangleStyle = 32860,
    ForegroundColor = 32810,
    BackgroundColor = 32811,
    // Frame > Transition Effects, in the order of kTransitionKinds.
    TransitionFade = 32930,
    TransitionSlideLeft = 32931,
    TransitionSlideRight = 32932,
    TransitionSlideUp = 32933,
    TransitionSlideDown = 32934,
    TransitionWipeLeft = 32935,
    TransitionWipeRight = 32936,
    TransitionWipeUp = 32937,
    TransitionWipeDown = 32938,
    TransitionDissolve = 32939,
    TransitionZoomIn = 32940,
    TweenToNextFrame = 32941,
    // Image > Effects, in the order of kEffectKinds.
    EffectGrayscale = 32950,
    EffectInvert = 32951,
    EffectBrightnessContrast = 32952,
    EffectBlur = 32953,
    EffectSharpen = 32954,
    EffectDropShadow = 32955,
    EffectOutline = 32956,

    // ---- zoom ----
    ZoomIn = 32792,
    ZoomOut = 32793,
    ZoomOneToOne = 32859,
    ZoomToFit = 33101,  // the whole canvas in the window (Ctrl+0)
    OnionSkin = 33110,          // the neighbouring frames faintly over the current one (F3)
    OnionSkinSettings = 33111,  // how many frames the onion skin shows

    // ---- tools ----
    ToolSelect = 32776,
    ToolZoom = 32773,
    ToolDrawBitmap = 32809,
    ToolCrop = 32799,
    ToolRectangle = 32777,
    ToolEllipse = 32781,
    ToolPen = 32782,
    ToolText = 32786,
    ToolPick = 32785,
    ToolFill = 32787,

    // ---- frames ----
    InsertFrameBefore = 32852,
    InsertFrameAfter = 32853,
    InsertFrameAtEnd = 32817,
    DeleteFrame = 32820,
    FirstFrame = 32812,
    PreviousFrame = 32813,
    NextFrame = 32814,
    LastFrame = 32815,
    MasterFrame = 32824,
    FrameDuration = 32844,
    LoopCount = 32891,
    SetBackgroundColor = 32864,
    AutoFrameSize = 32861,
    FrameSetup = 32795,
    PreviewAnimation = 32821,
    GoToFrame = 32849,
    DuplicateFrame = 32920,  // copies the current frame with its items after it
    ReverseFrames = 33102,   // the chosen frames in the opposite order
    ChangeSpeed = 33103,     // scales the durations of the chosen (or all) frames
    RemoveDuplicateFrames = 33104,

    // ---- windows and bars ----
    ViewToolbar = 59392,
    ViewStatusBar = 59393,
    ViewFrameList = 32900,
    ViewCurrentColors = 32901,
    ViewBackground = 32902,
    ViewToolbox = 32903,
    WindowArrange = 57649,
    WindowCascade = 57650,
    WindowTile = 57651,
    PreviousPane = 57681,

    // ---- help ----
    HelpContents = 32885,
    HelpQuickTour = 32895,
    HelpReference = 32899,
    HelpTutorial = 32898,
    HelpHomePage = 32888,
    AppAbout = 57664,
};

// What an update rule decides for one command.
struct CommandUi {
    bool enabled = false;
    bool checked = false;
    // Replaces the menu text when not empty (the texts that follow the state).
    std::string text;
};

}  // namespace vantrel
