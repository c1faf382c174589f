// The page's source editor: CodeMirror with both languages' highlighting,
// the diagnostics of the last run as lint marks (the token underlined, the
// message and its tag on hover, the line marked in the gutter), a hover of
// the page's own (what the source model knows of the place), Ctrl+click
// (Cmd+click) and F12 to go to a label's definition, undo and redo, search
// (Ctrl+F), Tab, and Ctrl+Enter to assemble at once. Bundled into one
// classic script that defines the global ZorveltEditor, since a page opened
// from disk may not load module scripts.
//
//   ZorveltEditor.createEditor(parent, {onChange, onRun, hover, definition, onCursor}) -> editor
//     editor.text                 the source, lines ended by LF (setting
//                                 it starts a new text: no onChange)
//     editor.replaceText(text)    replaces the text as an edit would
//     editor.setProgram(program)  "ctrlforge" | "wordforge": the highlighting
//     editor.showDiagnostics(list) list of {line, column, endColumn?,
//                                  severity, tag, message}, byte columns
//     editor.markStale(stale)     the marks belong to an earlier text
//     editor.goTo(line, column)   cursor to a byte column, in view
//     editor.select(from, to)     chooses a range, in view, and focuses
//     editor.snapshot()           the text as it is now, for places found
//                                 in it later (a run's model): then
//     editor.toNow(snapshot, at)  its offset `at` in today's text,
//     editor.fromNow(snapshot, at) today's offset in it; both null once
//                                 the text was replaced (editor.text set)
//     editor.release(snapshot)    no longer needed
//   onChange() follows every change of the text, onRun() Ctrl+Enter;
//   hover(offset) -> {node} | null, the hover's content for a place;
//   definition(offset) -> {from, to} | null, where the label at a place is
//   defined; onCursor(offset) follows every move of the cursor.
import { minimalSetup } from "codemirror";
import { indentLess, insertTab } from "@codemirror/commands";
import { HighlightStyle, indentUnit, syntaxHighlighting } from "@codemirror/language";
import { forEachDiagnostic, lintGutter, setDiagnostics } from "@codemirror/lint";
import { highlightSelectionMatches, search, searchKeymap } from "@codemirror/search";
import { ChangeSet, Compartment, EditorState, Prec } from "@codemirror/state";
import { EditorView, highlightActiveLine, highlightActiveLineGutter, hoverTooltip, keymap, lineNumbers } from "@codemirror/view";
import { tags } from "@lezer/highlight";

import { languages } from "./languages.js";
import { diagnosticRange, offsetInLine } from "./positions.js";

// Colours from the page's style sheet, which has them for light and dark.
const highlightStyle = HighlightStyle.define([
  { tag: tags.comment, color: "var(--hl-comment)", fontStyle: "italic" },
  { tag: tags.invalid, color: "var(--hl-invalid)" },
  { tag: [tags.keyword, tags.controlKeyword, tags.processingInstruction], color: "var(--hl-keyword)", fontWeight: "600" },
  { tag: tags.operatorKeyword, color: "var(--hl-operator)", fontWeight: "600" },
  { tag: tags.typeName, color: "var(--hl-register)" },
  { tag: tags.atom, color: "var(--hl-atom)" },
  { tag: [tags.number, tags.string], color: "var(--hl-number)" },
  { tag: tags.definition(tags.labelName), color: "var(--hl-label)", fontWeight: "600" },
  { tag: [tags.labelName, tags.heading], color: "var(--hl-label)" },
  { tag: [tags.special(tags.punctuation), tags.special(tags.variableName)], color: "var(--hl-special)", fontWeight: "700" },
]);

const theme = EditorView.theme({
  "&": { height: "100%", backgroundColor: "var(--panel)", color: "var(--fg)", fontSize: "14px" },
  "&.cm-focused": { outline: "none" },
  ".cm-scroller": { fontFamily: "var(--mono)", lineHeight: "1.4" },
  ".cm-content": { caretColor: "var(--fg)" },
  ".cm-cursor, .cm-dropCursor": { borderLeftColor: "var(--fg)" },
  ".cm-gutters": { backgroundColor: "var(--gutter-bg)", color: "var(--muted)", borderRight: "1px solid var(--border)" },
  ".cm-activeLine": { backgroundColor: "var(--active-line)" },
  ".cm-activeLineGutter": { backgroundColor: "var(--active-line)" },
  "&.cm-focused > .cm-scroller > .cm-selectionLayer .cm-selectionBackground, .cm-selectionBackground":
    { backgroundColor: "var(--selection)" },
  ".cm-tooltip": { backgroundColor: "var(--panel)", color: "var(--fg)", border: "1px solid var(--border)" },
  ".cm-panels": { backgroundColor: "var(--gutter-bg)", color: "var(--fg)" },
  ".cm-textfield": { backgroundColor: "var(--panel)", color: "var(--fg)", border: "1px solid var(--border)" },
  ".cm-button": { backgroundImage: "none", backgroundColor: "var(--panel)", color: "var(--fg)" },
  // Marks of an earlier text, until the next run lands.
  "&.stale .cm-lintRange, &.stale .cm-lint-marker": { opacity: "0.4" },
});

// At most this many snapshots are kept; an older one, never released, is
// given up.
const snapshotLimit = 8;

export function createEditor(parent, {
  onChange = () => {}, onRun = () => {}, hover = () => null, definition = () => null, onCursor = () => {},
} = {}) {
  const language = new Compartment();
  let program = "ctrlforge";
  let snapshots = [];

  // Goes to the definition of the label at `at`, when there is one.
  function goToDefinition(view, at) {
    const target = at === null ? null : definition(at);
    if (!target) return false;
    view.dispatch({ selection: { anchor: target.from, head: target.to }, scrollIntoView: true });
    view.focus();
    return true;
  }

  const extensions = () => [
    lineNumbers(),
    highlightActiveLineGutter(),
    minimalSetup,
    highlightActiveLine(),
    highlightSelectionMatches(),
    search({ top: true }),
    lintGutter(),
    Prec.highest(keymap.of([{ key: "Mod-Enter", run: () => { onRun(); return true; } }])),
    // Tab puts a tab at the cursor, or indents the chosen lines.
    keymap.of([...searchKeymap, { key: "Tab", run: insertTab, shift: indentLess },
               { key: "F12", run: (view) => goToDefinition(view, view.state.selection.main.head) }]),
    // Ctrl+click (Cmd+click) on a label: its definition, rather than one
    // more cursor.
    Prec.highest(EditorView.domEventHandlers({
      mousedown(event, view) {
        if (!(event.ctrlKey || event.metaKey) || event.button !== 0) return false;
        if (!goToDefinition(view, view.posAtCoords({ x: event.clientX, y: event.clientY }))) return false;
        event.preventDefault();
        return true;
      },
    })),
    hoverTooltip((view, at) => {
      const shown = hover(at);
      if (!shown) return null;
      return { pos: at, above: true, create: () => ({ dom: shown.node }) };
    }, { hoverTime: 250 }),
    EditorState.tabSize.of(8),
    indentUnit.of("\t"),
    language.of(languages[program]),
    syntaxHighlighting(highlightStyle),
    theme,
    EditorView.contentAttributes.of({
      "aria-label": "Source text", spellcheck: "false", autocorrect: "off", autocapitalize: "off",
    }),
    EditorView.updateListener.of((update) => {
      if (update.docChanged) {
        for (const snapshot of snapshots) {
          snapshot.changes = snapshot.changes.composeDesc(update.changes.desc);
          snapshot.inverted = null;
        }
      }
      if (update.docChanged || update.selectionSet) onCursor(update.state.selection.main.head);
      if (update.docChanged) onChange();
    }),
  ];

  const view = new EditorView({ parent, state: EditorState.create({ doc: "", extensions: extensions() }) });

  // A line (from 1) and byte column, as an offset into the text.
  function offsetOf(line, column) {
    const doc = view.state.doc;
    if (line > doc.lines) return doc.length;
    const at = doc.line(Math.max(1, line));
    return at.from + offsetInLine(at.text, column);
  }

  return {
    view,
    get text() { return view.state.doc.toString(); },
    // A new text starts a new undo history.
    set text(value) {
      for (const snapshot of snapshots) snapshot.alive = false;
      snapshots = [];
      view.setState(EditorState.create({ doc: value, extensions: extensions() }));
      onCursor(0);
    },
    // The whole text replaced as an edit would: undoable, and onChange follows.
    replaceText(value) {
      view.dispatch({ changes: { from: 0, to: view.state.doc.length, insert: value } });
    },
    setProgram(name) {
      program = name;
      view.dispatch({ effects: language.reconfigure(languages[program]) });
    },
    showDiagnostics(list) {
      const doc = view.state.doc;
      const marks = list.map((d) => ({
        ...diagnosticRange(doc, d),
        severity: d.severity === "error" ? "error" : d.severity === "note" ? "info" : "warning",
        message: d.tag ? `${d.message} [${d.tag}]` : d.message,
      }));
      view.dispatch(setDiagnostics(view.state, marks));
    },
    // The marks as the editor holds them: [{from, to, severity, message}].
    get marks() {
      const marks = [];
      forEachDiagnostic(view.state, (d, from, to) => marks.push({ from, to, severity: d.severity, message: d.message }));
      return marks;
    },
    markStale(stale) {
      view.dom.classList.toggle("stale", stale);
    },
    goTo(line, column) {
      const at = offsetOf(line, column);
      view.dispatch({ selection: { anchor: at }, effects: EditorView.scrollIntoView(at, { y: "center" }) });
      view.focus();
    },
    select(from, to) {
      view.dispatch({ selection: { anchor: from, head: to }, effects: EditorView.scrollIntoView(from, { y: "center" }) });
      view.focus();
    },
    snapshot() {
      const snapshot = { changes: ChangeSet.empty(view.state.doc.length).desc, inverted: null, alive: true };
      snapshots.push(snapshot);
      if (snapshots.length > snapshotLimit) snapshots.shift().alive = false;
      return snapshot;
    },
    toNow(snapshot, at, assoc = -1) {
      return snapshot && snapshot.alive ? snapshot.changes.mapPos(at, assoc) : null;
    },
    fromNow(snapshot, at) {
      if (!snapshot || !snapshot.alive) return null;
      snapshot.inverted = snapshot.inverted || snapshot.changes.invertedDesc;
      return snapshot.inverted.mapPos(at, -1);
    },
    release(snapshot) {
      if (!snapshot) return;
      snapshot.alive = false;
      snapshots = snapshots.filter((kept) => kept !== snapshot);
    },
    get selection() {
      const { from, to, head } = view.state.selection.main;
      return { from, to, head, focused: view.hasFocus };
    },
    focus() { view.focus(); },
  };
}
