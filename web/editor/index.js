// The page's source editor: CodeMirror with both languages' highlighting,
// the diagnostics of the last run as lint marks (the token underlined, the
// message and its tag on hover, the line marked in the gutter), undo and
// redo, search (Ctrl+F), Tab, and Ctrl+Enter to assemble at once. Bundled
// into one classic script that defines the global ZorveltEditor, since a
// page opened from disk may not load module scripts.
//
//   ZorveltEditor.createEditor(parent, {onChange, onRun}) -> editor
//     editor.text                 the source, lines ended by LF (setting
//                                 it starts a new text: no onChange)
//     editor.replaceText(text)    replaces the text as an edit would
//     editor.setProgram(program)  "ctrlforge" | "wordforge": the highlighting
//     editor.showDiagnostics(list) list of {line, column, endColumn?,
//                                  severity, tag, message}, byte columns
//     editor.markStale(stale)     the marks belong to an earlier text
//     editor.goTo(line, column)   cursor to a byte column, in view
//   onChange() follows every change of the text, onRun() Ctrl+Enter.
import { minimalSetup } from "codemirror";
import { indentLess, insertTab } from "@codemirror/commands";
import { HighlightStyle, indentUnit, syntaxHighlighting } from "@codemirror/language";
import { forEachDiagnostic, lintGutter, setDiagnostics } from "@codemirror/lint";
import { highlightSelectionMatches, search, searchKeymap } from "@codemirror/search";
import { Compartment, EditorState, Prec } from "@codemirror/state";
import { EditorView, highlightActiveLine, highlightActiveLineGutter, keymap, lineNumbers } from "@codemirror/view";
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

export function createEditor(parent, { onChange = () => {}, onRun = () => {} } = {}) {
  const language = new Compartment();
  let program = "ctrlforge";

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
    keymap.of([...searchKeymap, { key: "Tab", run: insertTab, shift: indentLess }]),
    EditorState.tabSize.of(8),
    indentUnit.of("\t"),
    language.of(languages[program]),
    syntaxHighlighting(highlightStyle),
    theme,
    EditorView.contentAttributes.of({
      "aria-label": "Source text", spellcheck: "false", autocorrect: "off", autocapitalize: "off",
    }),
    EditorView.updateListener.of((update) => {
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
      view.setState(EditorState.create({ doc: value, extensions: extensions() }));
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
    get selection() {
      const { from, to } = view.state.selection.main;
      return { from, to, focused: view.hasFocus };
    },
    focus() { view.focus(); },
  };
}
