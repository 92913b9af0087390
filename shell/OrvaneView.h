// COrvaneView: the one window in which the whole game is shown, and the
// owner of the game state for the life of the window: the current screen
// (the game mode), the three timer channels that drive the game loop, the
// on-screen message log and what each screen builds.
//
// The game has no loop of its own. One window timer (identifier 1) fires at
// the shortest positive channel interval, and a channel with a negative
// interval runs on every idle pass of the application; every due channel
// runs the tick routine OnTimerStep with its number. ChangeMode is the one
// way from screen to screen: it leaves the current mode (freeing what it
// built) and enters the new one. Code that calls ChangeMode finds the new
// mode current when the call returns.
//
// Everything runs on the one thread. Handlers pump the queue themselves
// (WaitWhileFlag, dialogs, EditTextOnScreen), so re-entrancy is guarded by
// bytes, never by locks: the tick guard keeps OnTimerStep from running
// inside itself.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <set>
#include <string>

#include "Animate/SoundManager.h"
#include "army/FormationList.h"
#include "battle/BattleScreen.h"
#include "battle/DivisionMeter.h"
#include "battle/OrderRecords.h"
#include "battle/ViewArmy.h"
#include "battle/WeatherState.h"
#include "core/BucketGrid.h"
#include "ui/BattleResults.h"
#include "Units/BattList.h"
#include "Units/StatusSummary.h"
#include "Units/DivList.h"
#include "Units/Division.h"
#include "Units/Missile.h"
#include "Units/UnitList.h"
#include "core/LinkList.h"
#include "shell/CommandState.h"
#include "shell/OrvaneDoc.h"
#include "Animate/AnimFocusView.h"
#include "Animate/LetterSet.h"
#include "Animate/PhasedSprite.h"
#include "platform/win/Win.h"

class CArmy;
class CArmyElement;
class CDivision;
class CBattle;
class CPerson;
struct CTacticState;
class CBattleGrid;
class CPathGrid;
class CTerrainList;

// The base of the main view: where the animation view chain joins.
using COrvaneViewBase = CAnimFocusView;

// Game modes (screens).
enum : int32_t {
    MODE_LOGO = 0,
    MODE_INTRO = 1,
    MODE_DEMO_INTRO = 2,
    MODE_MAIN_MENU = 3,
    MODE_SBTTL_MENU = 4,
    MODE_SINGLE_BATTLE = 5,
    MODE_NEW_CAMPAIGN = 6,
    MODE_CAMPAIGN_SETTING = 7,
    MODE_LOAD_GAME = 8,
    MODE_WORLD_MAP = 9,
    MODE_REGION = 10,
    MODE_OPTIONS = 11,
    MODE_CREDITS = 12,
    MODE_DUAL = 13,
    MODE_TACTIC = 14,
    MODE_BATTLE = 15,
    MODE_AFTER_BATTLE = 16,
    MODE_END_SCREENS = 19,
    MODE_CLOSING_CREDITS = 20,
};

// One of the three timer channels.
struct CTimerChannel {
    int32_t Interval = 0;      // 0 stopped, negative every idle pass, positive period in ms
    DWORD LastRun = 0;         // GetTickCount of the last run
    int32_t PrevInterval = 0;  // the value before the last change, for a pause to restore
    BYTE Active = 0;           // interval != 0
};

// One line (or wrapped part) of the on-screen message log.
struct CLogEntry {
    DWORD Added = 0;  // GetTickCount when added
    int Height = 0;   // (line breaks + 1) x letter height
    CString Text;
};

class COrvaneView : public COrvaneViewBase {
    DECLARE_DYNCREATE(COrvaneView)
public:
    COrvaneView();
    ~COrvaneView() override;

    COrvaneDoc* GetDocument() const;

    // ---- Window creation and the display check
    // Runs the display check; FALSE stops the window, and with it the start.
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    // Makes sure the screen runs at 1024 x 768 or 1280 x 1024 with 16 bits
    // or more, switching the mode the profile asks for. FALSE (after the
    // message) when no such mode can be had.
    BOOL CheckDisplaySettings();
    // Switches the display; FALSE when the switch failed (the view's sizes
    // are then left as they were).
    BOOL SwitchDisplayMode(int bitsPerPixel, int width, int height);
    // Where the profile is read by the display check.
    static CString GetProfileName() { return "Data\\Saved Data\\Profile.vlm"; }

    // ---- First update and teardown
    void OnInitialUpdate() override;
    void OnDraw(CDC* dc) override;
    // Splits the command line into ArgCount / Args (blank-separated words;
    // double quotes group words into one argument and are dropped).
    void ParseCommandLine();
    // Reads "-join <address>", "-host", "-name <name>" from Args.
    void ReadCommandSwitches();
    void ReleaseGameLists();
    // Deletes the files of the temporary-file list, then "*.tmp" and
    // "resync.dat" of the cache folder; never changes the current folder.
    void DeleteTempFiles();

    // ---- Modes
    // Leaves the current mode and enters `newMode`; always TRUE. A mode whose
    // screen the game does not have leaves the current screen as it is and
    // says so in the message log.
    BOOL ChangeMode(int newMode);
    BOOL EnterMode(int mode);
    BOOL ExitMode(int mode);
    // Whether the game has a screen for the mode.
    static bool IsModeAvailable(int mode);

    // ---- Timer channels and waiting
    void SetTimerInterval1(int interval);
    void SetTimerInterval2(int interval);
    void SetTimerInterval3(int interval);
    // The application's idle pass: the timer handler, unless a tick runs.
    void OnIdle();
    // Pumps the queue until *flag is cleared; FALSE when it ended otherwise
    // (time-out, a lost session with no text entry open, a mode change). A
    // negative time-out waits without limit.
    bool WaitWhileFlag(BYTE* flag, int timeoutSeconds);
    // The on-screen text entry (used for chat lines): edits `text` at (x, y)
    // up to `maximum` characters, never shorter than `minimum` (its prompt);
    // returns when Enter ends it. The edited text is copied back only when
    // the mode is unchanged and the session still connected.
    void EditTextOnScreen(CString& text, int x, int y, int maximum, int minimum);

    // ---- The tick routine (the body of the game loop)
    void OnTimerStep(int channel);

    // ---- Message log
    void PrintMessage(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void AddMessage(const char* text);
    void DrawMessages();
    // The log, oldest first.
    CLinkList<CLogEntry>& GetMessageLog() { return m_messages; }

    // ---- Letter-set text
    // Loads the letter set `name` (".giz" from the pictures folder); a
    // failed load keeps the old one. The cell size becomes the shared
    // letter size.
    BOOL LoadLetterSet(const char* name);
    // Draws text with the letter set into the back buffer (loading "Letter
    // Set" first when none is loaded); with `erase` the area is redrawn from
    // the background first. Returns the area the text covers.
    CRect DrawLetterText(const char* text, int x, int y, BOOL erase = FALSE, double scale = 1.0);
    static int GetLetterWidth() { return ::GetLetterWidth(); }
    static int GetLetterHeight() { return ::GetLetterHeight(); }

    int GetScreenWidth() const { return m_nScreenWidth; }
    int GetScreenHeight() const { return m_nScreenHeight; }

    // ---- Sound
    // Replaces the sound manager's buffers by the current mode's set.
    void LoadModeSounds();

    // ---- Main menu
    void LoadMainMenuButtons();
    void OnLButtonDownMainMenu(UINT flags, CPoint point);

    // ---- The battle chosen for the deployment and battle screens
    // The battlefield is BattleMap and the clan of each side BattleClans
    // (set by the battle catalogue, below); the armies draw on the view's
    // formation lists.
    // The armies by side that the deployment screen builds; Armies[] points
    // at them. Kept until the next deployment or the way back to the menu.
    std::unique_ptr<CArmy> OwnedArmies[2];
    // ---- Deployment screen (ui/TacticScreen.cpp, TacticPictures.cpp, TacticEnemy.cpp)
    BOOL InitTacticMode();
    void ExitTacticMode();
    void LoadTacticButtons();
    void AssignDivisionSlots(int general, int slot, BOOL moveMarkers);
    void CreateSlotSprites(int slot, int side);
    void DeployDivisions(BOOL postureCycle, BOOL redraw, BOOL forward);
    void PlaceDivisionFormation(int slot, int pictureSet, int side);
    BOOL PlaceArmyAt(int side, int x, int y, int facing);
    void SetupSideGenerals();
    void SetupEnemyArmy(BOOL reset);
    void PlaceEnemyArmy(CArmyFormation* formation, BOOL redraw);
    BOOL ShowTacticMap(const char* name, BOOL redraw);
    BOOL ShowFormationPicture(BOOL redraw);
    void ShowPortrait(CPerson* general, int x, int y, BOOL redraw);
    bool HitTestIcons(int x, int y);
    // The division panel for a general (slot -1: his portrait is in no
    // slot). On the deployment screen a cancelled panel puts his division
    // type back; an accepted change rebuilds his slot's division.
    void ShowDivisionInfo(int generalId, int slot);
    // Runs the division panel modally for a general and gives its result
    // (1 OK); 0 when its pictures cannot be set up. The panel may change
    // the general's division type. Unset while the game has no panel.
    std::function<int(CPerson& general)> RunDivisionPanel;
    void OnLButtonDownTactic(UINT flags, CPoint point);
    void OnLButtonUpTactic(UINT flags, CPoint point);
    void OnRButtonDownTactic(UINT flags, CPoint point);
    void OnMouseMoveTactic(UINT flags, CPoint point);
    // Shows one of the screen's message popups (select a general, too many
    // divisions, no detachment) and remembers it.
    void ShowTacticPopup(int message);
    CTacticState& GetTacticState();

    // ---- Division selection (shared by the deployment and battle screens)
    // With `remove` the division leaves the selection; otherwise no
    // division or `exclusive` first empties it, and the division joins.
    void SelectDivision(CDivision* division, BOOL exclusive, BOOL remove);
    bool IsDivisionSelected(const CDivision* division) const;
    CLinkList<CDivision> SelectedDivisions;

    // ---- Battle: date, battlefield flags, strength factor (battle/BattleDate.cpp)
    // The date and hour of campaign battle `scenario` in the campaign's
    // current year, written to `result` and returned. Draws four to six
    // counted numbers. A battle number outside 2..55 leaves `result` without
    // a time.
    CGameTime& SetBattleDateTime(CGameTime& result, const CBattle& scenario);
    // Flag 0 or (any other value) flag 1 of battlefield 0..38; another
    // battlefield is reported and answers false.
    static BOOL GetBattlefieldFlag(int flag, int battlefield);
    // The strength factor of side 0 (the local side) or 1 (the other) in
    // this battle: below 1.0 only for the other side in a few early
    // campaign battles.
    double GetCampaignBattleFactor(int side) const;

    // ---- Battle: order queue (battle/OrderQueue.cpp)
    // Queues a division order; side and tick default to the local side and
    // the current tick, a slot flag of 255 to the division's own. The
    // record owns `objective` until it is applied.
    void QueueTargetOrder(CDivision* division, CObjective* objective, int side = -1, uint32_t tick = 0xFFFFFFFF,
                          BYTE slotFlag = 255, BYTE runAtOnce = 0, BYTE optionA = 0, BYTE optionB = 0);
    // Queues an army command; a `wide` of 255 takes this screen's width.
    void QueueUnitOrder(int commandId, BYTE flagA, BYTE flagB, int side = -1, uint32_t tick = 0xFFFFFFFF,
                        BYTE wide = 255);
    // Appends an order for the peer, due at the next tick, to the outgoing
    // chain. TRUE.
    BOOL PostNetOrder(int type, int x, int y, int targetId, int facing, int divisionId, BYTE slotFlag, BYTE optionA,
                      BYTE optionB, BYTE runAtOnce, int extra1, int extra2, int extra3, int extra4);
    BOOL PostNetUnitOrder(int commandId, BYTE flagA, BYTE flagB);
    // Turns one of the peer's records into a queue record for the peer's
    // side. FALSE, with nothing queued, for a division the peer's army does
    // not have or a kind that is neither an order nor a command: the caller
    // goes on with the next record.
    BOOL ApplyPeerOrder(const NetOrderRecord& record);
    // The one entry of a division order from the screens: order kind 9..16
    // (move, -, all-out attack, attack, defence, stand, regroup, retreat;
    // any other kind gives `sendFlag` as the order type). FALSE, with
    // nothing queued, when the side's army has no such division.
    BOOL IssueDivisionOrder(int divisionId, int orderKind, BYTE markersOnly, int side = -1, int sendFlag = 0);
    // Every division's opening order once the armies stand on the field:
    // the order its slot of the army formation holds; detachments make for
    // their region of the field.
    void IssueOpeningOrders();
    // Apply the orders due at the current tick; an order whose tick has
    // already passed is reported and dropped, never left to block the queue.
    void RunDueTargetOrders();
    void RunDueUnitOrders();
    // The formation a formation command selects; resolved by the army of
    // the side the command is for.
    static CCommandFormation GetCommandFormation(int commandId) { return CommandFormationOf(commandId); }
    // Frees every queued order (pending objectives with them).
    void ClearOrderQueues();

    // ---- Battle: weather and daylight (battle/Weather.cpp)
    // The light of `time`: returns its colour and sets the tint strength.
    COLORREF RollWeatherChange(const CGameTime& time);
    void InitWeather(const CGameTime& time);
    void UpdateLightLevel(const CGameTime& time);
    void StepWeather(const CGameTime& time);
    COLORREF BlendWeatherTint();
    // Once per simulation step.
    void UpdateWeather();

    // ---- Battle: battlefield effects (battle/Effects.cpp)
    void SpawnDust(int x, int y, double fade, double step);
    void SpawnSplash(int x, int y, double fade, double step, BYTE mounted);
    void UpdateUnitEffects();
    void FadeEffectSprites();
    void AddFogSprite();
    void MoveClouds();
    // Empties the effect and fog lists and deletes their pictures.
    void ClearBattleEffects();
    // Draws that only this machine sees (puff pictures, the fog's entry
    // points): the view's first stream, never the counted generator.
    int LocalRand();
    // An icon also kept in a not-owning list still tells the view's icon
    // list of its moves.
    void KeepInViewList(CIcon* icon);

    // ---- Battle: set-up (battle/BattleSetup.cpp)
    // Registers every division, battalion and unit of the armies of sides
    // 0 and 1 in the battle lists, gives each unit its kind, links the two
    // armies and lays out every perimeter. TRUE.
    BOOL SetupBattleArmies();
    // The unit kind of a unit by its place: the first unit of a battalion
    // leads it (the army's first leads the army), the others take the
    // battalion's type.
    static int BattleUnitKind(int division, int battalion, int unit, int battalionType);
    // Puts every unit of the battle on the field where it stands: each unit
    // is bound to the battlefield's grid and the units' route grid (built
    // once per battle by whoever loads it) and to its army's side, moved to
    // the nearest free spot and updated once. A unit that waits off the
    // field (a detachment yet to arrive) stays off it.
    void PlaceBattleUnits(CBattleGrid* grid, CPathGrid* routes);

    // ---- Battle: the step (battle/BattleStep.cpp)
    // The battle's share of the tick routine: one simulation step whenever
    // the speed setting's period has passed; at the end of the battle the
    // results screen.
    void BattleStep();
    // One simulation step: the orders due, weather and effects, every
    // division, battalion and unit, the armies in slot order, the terrain.
    // FALSE when an army has left the battle (the battle is over); the
    // tick then stays where it is.
    BOOL RunBattleStep();
    // The picture of the missile a unit has just loosed (the arrow or the
    // shot sprite), before the missile joins the flight; none when the
    // battle has no such sprite (a battle without a screen).
    void GiveMissileSprite(CUnit* unit);

    // ---- Battle screen (battle/BattleLoad.cpp, battle/BattlePanels.cpp,
    // battle/Screenshot.cpp, battle/EndScreens.cpp)
    // The entry of the battle mode: loads the battle the fields below name
    // and places the armies handed over in Battle. FALSE, after an
    // "ERROR: ..." and with the battle freed, when the battlefield cannot be
    // shown (no background) or no armies were handed over.
    BOOL InitBattleMode();
    // The pictures folder + `name` as the view's background.
    BOOL LoadBattlePicture(const char* name, BOOL fitFrame, BOOL render, BOOL redraw);
    // The markers, both clans' unit sets (only those their armies field),
    // their flags and the shared sprites. TRUE; a missing picture is
    // reported by its loader and leaves its sprite missing.
    BOOL LoadBattleSprites();
    // Background, panel and small map, heights and zones, terrain file,
    // terrain objects and path grids of the battlefield. FALSE (reported)
    // only when the background cannot be loaded.
    BOOL LoadBattleMap();
    // The sprites of the battlefield's terrain objects, flags aside.
    BOOL ReadTerrainRectDatabase(const char* keyPrefix);
    // Headquarters `kind` (1 or 2) of `side`: its army's key point at a
    // free spot near (x, y) (both -1000: where the army chooses), with the
    // side's flag, set up on the battle grid and kept by the battlefield's
    // terrain list. A clan without flags flies the first clan's. Null
    // without that side's army or for another side or kind.
    CKeyPoint* PlaceSideFlag(int side, int kind, int x, int y);
    // The picture of a feature of map-object `type` from sprite `spriteId`
    // at its place; null when that sprite is not loaded.
    CTerrainIconLink* PlaceFeatureIcon(CTerrain& feature, int type, int spriteId, int iconId);
    // The clan name of a side's clan.
    CString BattleClanName(int side);
    // Which army leads the battle on its battlefield, into both armies and
    // the battlefield's features.
    void SetLoadingBattlefieldFlags();
    // The unit whose picture is hit at the window point (x, y) of the field
    // area; null when none.
    CUnit* HitTestUnitAt(int x, int y);
    // Features set up from the terrain database, their icons placed, the
    // path grids built (with the battlefield's path database when present).
    void LoadPathDatabase();
    // The portrait column of the panel, with each division's strength bar.
    void PlaceBattleMarkers();
    // Brings every division's strength bar up to date and shows those that
    // changed (all of them with `all`).
    void UpdateDivisionMeters(BOOL all);
    // The command buttons of the battle screen and the division slots'
    // portraits and panel columns. FALSE outside the battle mode.
    BOOL LoadBattleButtons();
    // The picture that shows a unit of `kind` for `side`: an icon of the
    // side's unit set; null when the set is not loaded (a battle without a
    // screen).
    IUnitIcon* MakeUnitIcon(int side, int kind, int divisionIndex);
    // A division's marker from sprite `spriteId` (225 its flag, 226 its
    // order's target), hidden off the field; null when not loaded.
    IUnitIcon* MakeDivisionIcon(int spriteId);
    // The battle mode's exit work: frees the battle's pictures, buttons,
    // lists, armies and battlefield.
    void ExitBattleMode();
    // Draws what moved since the last frame and shows it.
    void DrawBattleScene();
    // The battle being loaded or fought (made on first use, so that the
    // armies can be built on its grid before the battle mode is entered).
    CBattleState& GetBattleState();
    // Scrolls so that the field point (x, y) is the centre of the view, as
    // far as the field allows, and shows it.
    void ScrollBattleTo(int x, int y);
    // Saves the screen (or, in battle, the whole battlefield) as the next
    // free numbered JPEG of the install folder.
    void SaveScreenshot(BYTE whole, BYTE markersOnly);

    // ---- The end screens, mode 19 (battle/EndScreens.cpp)
    // Shows the ending the campaign has reached and resets the campaign.
    // FALSE, with the cursor shown again and nothing drawn, when the stage
    // is no end stage ("Invalid end mode attained - stage %d") or its
    // picture cannot be loaded; TRUE after the whole sequence.
    BOOL RunEndScreens();
    // The campaign's end state: battle 1 of the stage it ends in.
    void GetCampaignEndState(int& battle, int& stage);
    // Whether the end screens show a stage: every end stage, 14 to 24.
    static bool IsShownEndStage(int stage);
    void FadeEndPicture(bool in);
    void RollEndIcon(CIcon* icon, int x, int from, int to, int step, const CRect* band);
    CIcon* AddEndIcon(const CString& name);

    // ---- Battle panels (battle/BattlePanels.cpp)
    // Opens (at x, y; both -1000: beside the division's portrait column) or
    // closes the division panel of division slot `divisionIndex`. TRUE.
    BOOL PlaceDivisionPanel(BOOL show, int divisionIndex, int x, int y);
    // Opens the target panel's grid at (x, y) or closes it.
    void CloseDivisionPanels(BOOL show, int x, int y);
    // Lights the marker of each division's standing order.
    void UpdateOrderMarkers();
    void DrawOrderMarker(int divisionId, int kind, BYTE flag);
    void ShowOrderPanel(BOOL show);
    void ShowFormationPanel(BOOL show);
    // A target button (17..28) for division `divisionId` of the local side:
    // its standing order given again with the button's formation, queued at
    // the current tick, and the order waiting for a point on the field
    // (unless it regroups or retreats). FALSE when the division is not found.
    BOOL QueueDivisionAction(int divisionId, int button);
    // The division's formation that a target button 17..28 stands for; -1
    // for any other button.
    static int TargetButtonFormation(int button);
    // Opens the target panel beside the division panel's button at
    // `button` (100 right, 20 up), kept inside the field view.
    void OpenTargetPanel(CPoint button);
    // The division symbol sprite (4..23) of an arm 0..4 and grade 0..3; -1
    // for any other.
    static int TacticSymbolIndex(int arm, int grade);
    // Where the results screen shows its heading (index 0) or the player's
    // division `index`.
    CPoint& GetResultIconPos(CPoint& point, int index) const;
    // Holds the battle clock while a panel is open (never in a networked
    // battle) or lets it run again.
    void HoldBattleClock(BOOL hold);
    void ShowArmyPanel(BOOL show, int first, int last, BYTE bit);
    CPoint TargetPanelPos{0, 0};
    BYTE TargetRows = 3;
    BYTE TargetColumns = 4;

    // What the menus and the deployment screen hand to the battle mode
    // besides the battlefield and the clans.
    CGameTime BattleDate;                   // when the battle is fought
    std::unique_ptr<CBattleState> Battle;   // the battlefield and the armies

    // The battle screen's own state.
    struct CDivisionSlot {
        CString Portrait = "-+-";
        BYTE Column = 255;
        CDivision* Division = nullptr;
        CSprite* PortraitSprite = nullptr;  // the sprite list's
        CIcon* PortraitIcon = nullptr;
        CIcon* RedX = nullptr;
        std::unique_ptr<CDivisionMeter> Meter;  // the strength bar under the portrait
        CRect MeterRect;                        // where it stands on the panel
    };
    CDivisionSlot DivisionSlots[15];
    CSprite* UnitSetSlots[20] = {};  // side s at s x 10 + 0..9, the sprite list's
    CIcon* OrientationPointer = nullptr;
    BYTE KeyboardReady = 1;
    BYTE MouseReady = 1;
    BYTE OverlayFlags = 0;
    int32_t PanelDivision = -1;
    CPoint DivisionPanelPos{0, 0};
    int32_t ShotCounter = 0;
    DWORD BattleLoadStart = 0;

    // ---- Battle state
    int32_t PlayKind = 0;           // 2: a campaign battle
    uint32_t BattleTick = 0;        // the current simulation tick
    IViewArmy* BattleArmies[4] = {nullptr, nullptr, nullptr, nullptr};  // by side, not owned
    CSortedLinkList<TargetOrderRecord, 0> TargetOrders;  // records owned by the view
    CSortedLinkList<UnitOrderRecord, 2> UnitOrders;      // records owned by the view
    CLinkList<NetOrderRecord> OutgoingOrders{true};
    BYTE Recording = 0;
    BYTE LastSendFlag = 0;  // the send flag of the last division order given
    IDemoOrderSink* DemoSink = nullptr;
    CWeatherState Weather;
    CIconList EffectIcons;  // puffs; the view's icon list owns them
    CIconList FogIcons;     // fog pictures; likewise
    // The armies by side (not owned here: whoever loads the battle keeps
    // them) and every division, battalion and unit of both, in the order
    // the set-up registers them (the lists own none).
    CArmy* Armies[4] = {nullptr, nullptr, nullptr, nullptr};
    CDivList BattleDivisions;
    CBattList BattleBattalions;
    CUnitList BattleUnits;
    CMissileList BattleMissiles;  // in flight; owns them
    CTerrainList* BattleTerrain = nullptr;  // the battlefield's, not owned
    CBattleGrid* BattleGrid = nullptr;      // likewise
    int32_t BattleFrame = 0;   // simulation steps run
    int32_t StepCount = 1;     // the tick advances while below it
    DWORD LastBattleStep = 0;  // when the last simulation step ran (ms)

    // ---- Formations and the after-battle summaries (shell/ViewFormations.cpp)
    // Reads the formation list file into the view's three lists. A file
    // that cannot be read whole shows "ERROR: Default Formation Lists could
    // not be opened!", keeps the lists as they were and answers FALSE.
    // Armies and divisions point into the lists: load only while no battle
    // holds them.
    BOOL LoadDefaultFormationLists(const char* fileName);
    // The same for `fileName` in the document's data folder.
    BOOL ReloadDefaultFormations(const char* fileName);
    // Each side's army fills its summary (the results screen reads them).
    void FillStatusSummaries();
    // Both summaries emptied, their nodes deleted.
    void ResetStatusSummaries();
    CFormationLists FormationLists;
    CStatusSummary15 StatusSummaries[2];  // by side

    // ---- Battle popups (battle/BattlePopups.cpp)
    // Army message or notice `message` in the battle popup: the speaker
    // `person` is -3 or -4 for the generic soldier of side 0 or 1, -1 for
    // none, else a general's id; `element` is what the message is about;
    // `valueA` is how much the player knows of a unit. The clock of a
    // single-player battle waits while it is up; the pause (13) stops it in
    // every game.
    void DoSoldierInfoPopup(int message, int person, CArmyElement* element, int valueA, int valueB);
    // A notice picture by name, closed by any click or key.
    void DoMessagePopup(const char* name);
    // A yes/no question by picture name ("popup dialog army retreat"): TRUE
    // for yes. The clock of a single-player battle waits for the answer.
    BOOL DoChoicePopup(const char* name);
    // The division information dialog for `general`, the view's division
    // panel: 1 OK, 2 Cancel, 0 when its pictures cannot be loaded. The arm
    // chosen is written into the general.
    int RunDivisionSelectDlg(CPerson& general);
    // Shows, one popup each, what the armies have queued for the player:
    // the local side's first.
    void ShowArmyMessages();
    // The Pause key in battle: the pause popup, the clock stopped until it
    // closes.
    void PauseBattle();
    // The clan name of the army on `side`; empty when not known.
    CString BattleClanName(int side) const;
    int32_t BattleClans[4] = {-1, -1, -1, -1};  // clan index by side
    // The document's pictures folder; without a document (a battle run
    // headless) PicturesFolder.
    CString GetPicturesFolder() const;
    CString PicturesFolder{"Pictures\\"};
    BYTE DemoPlayback = 0;
    int32_t NetworkPopup = 0;
    BYTE PauseRunning = 0;
    DWORD RunningTime = 0;  // battle time run, up to the last pause (ms)
    DWORD ResumeTime = 0;   // when the battle last resumed

    // ---- Options, the volume screen and the pause (shell/OptionsScreens.cpp)
    // Fills the options dialog from the profile, runs it, and applies,
    // stores and saves what it returns. 0 when it could not be shown or the
    // player left for the main menu, else 1.
    int RunOptionsDialog(BOOL askQuit, BOOL bringToFront);
    // Escape during play: the clock of a single-player game stops while the
    // options are open.
    void PauseForOptions();
    // New music and effects levels (0..9; -1 keeps one), stored and handed
    // to the sound engine.
    void ApplyVolumes(int music, int effects);
    BOOL InitVolumeScreen();
    void OnVolumeSliderDown(CPoint point);
    void OnVolumeSliderDrag(CPoint point, BOOL redraw);
    void OnVolumeSliderUp(CPoint point);
    // The volume screen's slider level 0..100 for a level 0..9, and back.
    static int VolumeSliderLevel(int level) { return level * 100 / 9; }
    static int VolumeLevelOfSlider(int slider);
    BYTE DisplaySwitchA = 0;
    BYTE DisplaySwitchB = 0;
    BYTE GamePaused = 0;
    int32_t SavedIntervals[3] = {0, 0, 0};
    BYTE MusicDrag = 0;
    BYTE EffectsDrag = 0;
    int32_t PressedVolumeButton = -1;

    // ---- Keys (shell/KeyInput.cpp)
    void OnTypedKey(int character, int repeat, int flags);
    // The army commands of the battle screen by key; nothing outside a
    // loaded battle.
    void OnCommandKey(int character);
    // The menu key of the battle screen: closes the open panels, or opens
    // the panel of the selected division nearest the middle of the view.
    void TogglePanelsByKey();
    BYTE ArrowBits = 0;  // bit 0 up, 1 down, 2 left, 3 right
    int32_t ScrollVelocityX = 0;
    int32_t ScrollVelocityY = 0;
    int32_t ScrollStep = 5;
    BYTE Scrolling = 0;
    BYTE ChatAllowed = 0;
    BYTE ChatOpen = 0;
    BYTE ChatStream = 1;
    BYTE StatisticsAllowed = 0;
    BYTE StatisticsLines[2] = {0, 0};
    BYTE EffectsShown = 1;
    BYTE OverlayShown = 1;
    int32_t NextFocusDivision = -1;

    // ---- Battle screen mouse input and command buttons (shell/BattleInput.cpp,
    // shell/CommandButtons.cpp)
    void OnLButtonDownBattle(UINT flags, CPoint point);
    void OnLButtonUpBattle(UINT flags, CPoint point);
    void OnRButtonDownBattle(UINT flags, CPoint point);
    void OnMouseMoveBattle(UINT flags, CPoint point);
    // Every division of the local side still in the battle, selected.
    void SelectAllDivisions();
    // The local side's division `index`: selected alone and centred.
    void FocusDivision(int index);
    // The list index of the local side's division numbered `number`, or -1.
    int DivisionIndexOf(int number) const;
    // Centres the visible field on a field point, as far as the field
    // allows, and shows it.
    void CentreFieldOn(int x, int y);
    // The waiting order, given its target point: queued for every selected
    // division, and the command cursor put away.
    void CompletePendingCommand();
    // The waiting order dropped, its cursor put away.
    void CancelPendingCommand();
    // The division marker of the panel (ids 500..599) under a window point:
    // the division it stands for, or null.
    CDivision* DivisionMarkerAt(CPoint point);
    // A window point on the small map, as the field point it shows.
    CPoint MinimapToField(CPoint point) const;
    // The window rectangle of the small map.
    CRect MinimapWindowRect() const;
    // The open panels' button under the pointer drawn down, the one left
    // put back up.
    void HoverPanelButton(CPoint point);
    // The local side's element under a window point: its division, or null.
    CDivision* DivisionAtPoint(CPoint point) const;
    // Closes whichever battle panels are open.
    void CloseBattlePanels();
    // A division's panel: opened beside its portrait with the division
    // focused and selected alone, or, when its panel is open, closed.
    void ToggleDivisionPanel(CDivision* division);
    // The army's retreat asked of the player: TRUE on yes while the battle
    // goes on; FALSE at once when the army has already left the field.
    BOOL AskArmyRetreat();
    // TRUE when a click executed a button.
    BOOL OnCmbClicked(int x, int y, BOOL rectangleOnly);
    void ExecuteCmb(int id);
    // The view's chosen-order record and the divisions selected (not owned).
    CCommandState Command;
    BYTE CommandPending = 0;
    BYTE OrderCursorShown = 0;
    CIcon* CommandCursor = nullptr;  // in the view's icon list
    int32_t FocusedDivision = -1;
    BYTE BattleReady = 0;
    BYTE BandActive = 0;
    BYTE ButtonDownOnField = 0;
    CPoint BandStart{0, 0};
    CPoint BandEnd{0, 0};
    int32_t PressedButton = -1;
    int32_t PressedOrderButton = -1;
    CRect PanelRects[2];
    // ---- The battle set-up (ui/BattleCatalogue.cpp)
    // What a chosen battle leaves for the deployment and battle screens,
    // filled by SetupBattle from the battle catalogue:
    //   BattleNumber   the catalogue battle (below, with the screen state);
    //   BattleMap      the battle map it is fought on (0..38; -1 the random
    //                  battle, -2 the tournament battle);
    //   BattleClock    the calendar clock at which it starts;
    //   BattleClans    the clan ids of side 0 and side 1 in the loaded world;
    //   SingleCampaign set when the tournament's own world was loaded.
    // The document then holds the battle's world (its clans and generals)
    // and the campaign year of the battle; the view's formation lists are
    // read again.
    // Loads battle `battleNumber` (or, with `scenarioPath`, that world file
    // at a drawn clock); with `setSides` the two clans are looked up in it.
    // FALSE when the world cannot be loaded or a clan is missing.
    BOOL SetupBattle(int battleNumber, bool setSides, const char* scenarioPath);
    // The after-battle screen's buttons: OK, and the strength button in a
    // campaign or the tournament.
    void AddStrengthButton();
    CGameTime BattleClock;
    int32_t BattleMap = 0;
    BYTE SingleCampaign = 0;
    BYTE SinglePlayRoster = 0;  // the roster screen's byte; single play clears it

    // ---- The single-battle menu, mode 4 (ui/SingleBattleMenu.cpp)
    BOOL InitSingleBattleMenu();
    // The menu's share of the tick routine: the fire marker on channel 1.
    void DrawWaitForBattle(int channel);
    void OnLButtonDownSbttlMenu(UINT flags, CPoint point);
    void OnLButtonUpSbttlMenu(UINT flags, CPoint point);
    void OnRButtonDownSbttlMenu(UINT flags, CPoint point);
    void OnMouseMoveSbttlMenu(UINT flags, CPoint point);
    // Mode 5 in single play: sets the chosen battle up and goes on to the
    // deployment (14), or back to the menu (4) when it cannot be loaded.
    BOOL EnterSingleBattle();
    void ExitSingleBattleMenu();
    // The battle number of a spot of the map (9 for an unknown spot).
    static int SpotBattle(int spot);
    CBucketGrid* SpotGrid = nullptr;  // owned while mode 4 lasts
    int32_t HoveredSpot = -1;
    int32_t PreviewSpot = -1;        // the spot whose picture the right button shows
    CSprite* HoverSprite = nullptr;  // in the sprite list
    CIcon* HoverIcon = nullptr;      // in the icon list
    BYTE HoverByte = 0;
    BYTE PreviewLocked = 0;
    BYTE WaitingBanner = 0;

    // ---- The results screen, mode 16 (ui/AfterBattle.cpp)
    BOOL InitAfterBattleMode();
    void OnLButtonDownAfterBattle(UINT flags, CPoint point);
    void OnLButtonUpAfterBattle(UINT flags, CPoint point);
    void ExitAfterBattle();
    void OnMouseMoveAfterBattle(UINT flags, CPoint point);
    // Shows the battalions of the player's division `division` (its place
    // on the result row) under the row; -1 does nothing.
    void ShowResultsDivisionDetail(int division);
    void ClearResultsHighlight(int division);
    // The line of one battalion's commander: his name, the flags and the
    // heads his battalion took.
    void DrawResultLine(const CPerson* general, int x, int y, const CBattalionResult& record);
    // The outcome, the divisions lost and the score under the heading.
    void DrawResultFigures();
    int32_t ResultsShown = 0;  // times the results screen was set up
    int32_t ResultsHover = -1;  // the division whose battalions are shown

    // ---- The battle aftermath (ui/BattleAftermath.cpp)
    // Settles the local player's points, wins, losses and rating when the
    // battle mode is left, and stores the army slot and the profile.
    void ComputeBattleAftermath();
    // The award rule of one commander: points his results add to (or take
    // from) the player's slot.
    int AwardGeneral(const CSideResultEntry& entry, int score, int total, int divisor);
    // Settles the campaign's commanders; FALSE in single play.
    BOOL UpdateGenerals(int sideValue);
    // Fills the side results from the armies when the battle left none.
    void FillSideResults();
    CSideResult SideResults[4];
    int32_t OpponentRating = 1000;
    int32_t PickedArmy = -1;  // army slot 0..4 of the player; -1 none

    // ---- State read by the screens
    int32_t GameMode = -1;
    int32_t PreviousMode = -1;
    int32_t RequestedMode = -1;
    CTimerChannel Channels[3];
    UINT_PTR TimerHandle = 0;
    BYTE TickGuard = 0;
    BYTE PopupOpen = 0;
    DWORD PopupWatch = 0;  // set to 1 by a popup's creator; a mode change sets 0
    BYTE ShiftHeld = 0;
    BYTE CtrlHeld = 0;
    BYTE ChatEntry = 0;
    BYTE NetworkScreen = 0;
    BYTE DisplayRestore = 0;
    BYTE ScreenSaverOff = 0;
    BYTE LogChanged = 0;
    BYTE ScreenshotRequest = 0;
    BYTE AfterConnection = 1;
    int32_t LocalSide = 0;
    int32_t OtherSide = 1;
    int32_t BattleNumber = 0;
    int32_t DemoBattle = 0;
    int32_t HoverButton = 0;  // the main-menu button drawn highlighted, 0 none

    // Text entry.
    BYTE TextEntryActive = 0;
    CString EntryText;
    int EntryX = 0, EntryY = 0, EntryMinimum = 0, EntryMaximum = 0, EntryPos = 0;
    BYTE EntryChanged = 0;

    // Command line.
    int ArgCount = 0;
    std::vector<CString> Args;
    BYTE JoinRequested = 0;
    BYTE HostRequested = 0;
    CString JoinAddress;
    CString PlayerName;
    BYTE AskForPlayer = 0;

    // Files of this run to delete at exit (owned).
    CLinkList<CString> TempFiles{true};

    HCURSOR NormalCursor = nullptr;
    CSoundManager SoundManager;

    // Whether a network session is up (no session is ever made here yet).
    bool IsConnected() const { return false; }

protected:
    void OnSize(UINT type, int cx, int cy) override;
    void OnSetFocus(CWnd* oldWnd) override;
    void OnKillFocus(CWnd* newWnd) override;
    void OnDestroy() override;
    void OnTimer(UINT_PTR id) override;
    void OnLButtonDown(UINT flags, CPoint point) override;
    void OnLButtonDblClk(UINT flags, CPoint point) override;
    void OnLButtonUp(UINT flags, CPoint point) override;
    void OnRButtonDown(UINT flags, CPoint point) override;
    void OnRButtonDblClk(UINT flags, CPoint point) override;
    void OnRButtonUp(UINT flags, CPoint point) override;
    void OnMouseMove(UINT flags, CPoint point) override;
    void OnKeyDown(UINT ch, UINT repeat, UINT flags) override;
    void OnKeyUp(UINT ch, UINT repeat, UINT flags) override;
    BOOL OnEraseBkgnd(CDC*) override { return TRUE; }

private:
    void SetTimerInterval(int channel, int interval);
    // The background B, or "1024" + B on a screen up to 1024 wide, from the
    // pictures folder; `extension` is added as given.
    CString BackgroundName(const char* base, const char* extension = ".giz") const;
    BOOL LoadScreenBackground(const char* base, const char* extension = ".giz");
    // Says once per run, with "ERROR: <what> \"<file>\" cannot be loaded.",
    // that a file failed; the same file failing again says nothing more.
    // True the first time.
    bool ReportFailedFile(const CString& file, const char* what);
    // Whether a file already failed this run (not tried again).
    bool HasFailed(const CString& file) const { return m_failedFiles.count(file.GetString()) != 0; }
    void EnableFrameAndView();
    // The credits text and version on the credits screens.
    void DrawCredits();
    // The text-entry side of a typed key; TRUE when the entry took it.
    bool OnTextEntryKey(int character);
    void DrawTextEntry();
    // Mode 0's movie.
    void PlayLogoMovie();
    // The files that failed to load this run, by path.
    std::set<std::string> m_failedFiles;
    // Opens the sound device and applies the document's levels and switches.
    void StartSound();
    // Plays sound `id` at the document's sound volume, centred.
    void PlayModeSound(int id);

    CLinkList<CLogEntry> m_messages{true};
    CPhasedSprite* m_pLetterSet = nullptr;  // owned
    CRect m_lastLogArea{0, 0, 1, 1};  // what the log covered when last drawn
    std::unique_ptr<CTacticState> m_pTactic;
    // Deployment helpers (ui/TacticScreen.cpp).
    void ReleaseTacticSlot(int slot);
    void DropTacticIcon(CPoint point);
    void StartTacticBattle();
    void TurnGeneralPage(int step);
    void CountPlaced(CPoint home);
    void CountRemoved(CPoint home, int general);
    void ShowTacticLines();
    void AddTacticLines();
};
