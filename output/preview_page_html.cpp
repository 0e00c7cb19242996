
namespace Output {

// The preview page's template. PreviewPage() fills in {{lang}}, {{title}},
// {{facts}} and {{hint}} as HTML text and {{data}} as JSON: the frames, the
// frames per row, the angles, the strips (file name as a relative URL,
// scale, frame size in pixels), the words of the readouts, and for a slider
// the way its picture moves as the value grows ("right", "left", "up",
// "down") and how far (CSS pixels at 1x).

extern const char kPreviewPageHtml[];

const char kPreviewPageHtml[] = R"html(<!DOCTYPE html>
<html lang="{{lang}}">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<title>{{title}}</title>
<style>
  /* Whole pixels everywhere, so that each strip pixel lands on one pixel. */
  body { margin: 16px; font: 14px/20px sans-serif; color: #202020; background: #ffffff; }
  h1 { margin: 0 0 4px; font-size: 18px; line-height: 24px; }
  p { margin: 0 0 12px; }
  #knob { display: flex; width: max-content; margin-bottom: 12px; cursor: ns-resize;
    touch-action: none; user-select: none; }
  #knob:focus { outline: 2px solid #1a6fd8; outline-offset: 2px; }
  .ground { display: flex; gap: 16px; align-items: flex-start; padding: 16px; }
  .light { background: #f0f0f0; color: #202020; }
  .dark { background: #202020; color: #e0e0e0; }
  .ground > span { width: 48px; }
  figure { margin: 0; }
  figcaption { line-height: 20px; }
  img.view { display: block; object-fit: none; image-rendering: pixelated; }
  .readout span { display: inline-block; min-width: 72px; margin-right: 16px;
    font-variant-numeric: tabular-nums; }
  .hint { color: #606060; }
</style>
</head>
<body>
<h1>{{title}}</h1>
<p>{{facts}}</p>
<div id="knob" role="slider" tabindex="0" autofocus aria-valuemin="0"></div>
<p class="readout"><span id="value"></span><span id="frame"></span><span id="angle"></span></p>
<p class="hint">{{hint}}</p>
<script type="application/json" id="data">{{data}}</script>
<script>
"use strict";
const data = JSON.parse(document.getElementById("data").textContent);
const words = data.words;
const knob = document.getElementById("knob");
const slider = data.slider;  // absent for a knob
const last = data.frames - 1;
// How toolkits commonly turn a knob: the whole range over 200 pixels of
// vertical drag, one frame per wheel notch.
const dragSpan = 200;
const wheelNotch = 100;
const pageStep = Math.max(1, Math.round(data.frames / 10));
const lang = document.documentElement.lang;
const fixed = (digits) => new Intl.NumberFormat(lang, {
  minimumFractionDigits: digits, maximumFractionDigits: digits });
const valueText = fixed(3);
const angleText = new Intl.NumberFormat(lang, { maximumFractionDigits: 2 });

let value = 0;
const views = [];

for (const ground of ["light", "dark"]) {
  const row = document.createElement("div");
  row.className = "ground " + ground;
  const caption = document.createElement("span");
  caption.textContent = words[ground];
  row.append(caption);
  for (const strip of data.strips) {
    const figure = document.createElement("figure");
    const img = document.createElement("img");
    img.className = "view";
    img.alt = "";
    img.src = strip.src;
    img.width = strip.width;
    img.height = strip.height;
    img.dataset.ground = ground;
    img.dataset.scale = strip.scale;
    const label = document.createElement("figcaption");
    label.textContent = strip.scale + "x";
    figure.append(img, label);
    row.append(figure);
    views.push({ img, strip });
  }
  knob.append(row);
}
// A caption wider than its picture would give its figure a fraction of a
// pixel, and every picture after it would fall between pixels.
const figures = [...knob.querySelectorAll("figure")];
const widths = figures.map((figure) => Math.ceil(figure.getBoundingClientRect().width));
figures.forEach((figure, k) => { figure.style.minWidth = widths[k] + "px"; });
knob.setAttribute("aria-label", words.control);
knob.setAttribute("aria-valuemax", String(last));
// A slider says which way it lies; its angle, the one its strip was built
// with, means nothing.
if (slider) {
  const vertical = slider.toward === "up" || slider.toward === "down";
  knob.setAttribute("aria-orientation", vertical ? "vertical" : "horizontal");
  knob.style.cursor = vertical ? "ns-resize" : "ew-resize";
  document.getElementById("angle").remove();
}

// The manifest's rule: the frame a value shows, counted from 0.
function frameIndex() {
  return Math.round(value * last);
}

function show() {
  const i = frameIndex();
  const column = i % data.columns, row = Math.floor(i / data.columns);
  for (const { img, strip } of views)
    img.style.objectPosition = -column * strip.width + "px " + -row * strip.height + "px";
  const shown = {
    value: words.value + " " + valueText.format(value),
    frame: words.frame + " " + i,
  };
  if (!slider) {
    const angle = angleText.format(data.startAngle + i * data.stepAngle) + "\u00b0";
    shown.angle = words.angle + " " + angle;
  }
  for (const key in shown) document.getElementById(key).textContent = shown[key];
  knob.setAttribute("aria-valuenow", String(i));
  knob.setAttribute("aria-valuetext",
    [shown.frame, shown.angle, shown.value].filter(Boolean).join(", "));
}

function setValue(v) {
  value = Math.min(1, Math.max(0, v));
  show();
}

function setFrame(i) {
  setValue(last > 0 ? Math.min(last, Math.max(0, i)) / last : 0);
}

const steps = new Map([["ArrowUp", 1], ["ArrowRight", 1], ["ArrowDown", -1],
  ["ArrowLeft", -1], ["PageUp", pageStep], ["PageDown", -pageStep]]);
// On a slider's axis the arrow the picture moves toward as the value grows
// is more, whichever way that is.
const opposite = { right: "left", left: "right", up: "down", down: "up" };
const arrow = (way) => "Arrow" + way[0].toUpperCase() + way.slice(1);
if (slider) {
  steps.set(arrow(slider.toward), 1);
  steps.set(arrow(opposite[slider.toward]), -1);
}
knob.addEventListener("keydown", (event) => {
  if (event.altKey || event.ctrlKey || event.metaKey) return;
  if (steps.has(event.key)) setFrame(frameIndex() + steps.get(event.key));
  else if (event.key === "Home") setFrame(0);
  else if (event.key === "End") setFrame(last);
  else return;
  event.preventDefault();
});

// The value follows the pointer from where the drag began; it stays where it
// was pushed past either end. A knob: up is more, the whole range over
// dragSpan at every scale. A slider: along its axis, the whole range over
// its travel at the scale of the picture pressed on, so that the picture
// that slides keeps under the pointer (pressed beside the pictures: 1x).
const axis = slider ? { right: ["clientX", 1], left: ["clientX", -1], up: ["clientY", -1],
  down: ["clientY", 1] }[slider.toward] : ["clientY", -1];
function spanAt(target) {
  if (!slider || !(slider.travel > 0)) return dragSpan;
  const scale = target instanceof HTMLImageElement ? Number(target.dataset.scale) : 1;
  return slider.travel * scale;
}
let drag = null;
knob.addEventListener("pointerdown", (event) => {
  if (event.button !== 0) return;
  drag = { pointer: event.pointerId, at: event[axis[0]], span: spanAt(event.target), value };
  knob.setPointerCapture(event.pointerId);
  knob.focus();
  event.preventDefault();
});
knob.addEventListener("pointermove", (event) => {
  if (drag && event.pointerId === drag.pointer)
    setValue(drag.value + axis[1] * (event[axis[0]] - drag.at) / drag.span);
});
for (const end of ["pointerup", "pointercancel"])
  knob.addEventListener(end, () => { drag = null; });

// Scrolling is summed until it makes whole notches; lines and pages are
// turned into pixels as browsers scroll them.
let wheel = 0;
knob.addEventListener("wheel", (event) => {
  event.preventDefault();
  const pixels = [1, 40, 800][event.deltaMode] || 1;
  wheel -= event.deltaY * pixels;
  const notches = Math.trunc(wheel / wheelNotch);
  if (notches === 0) return;
  wheel -= notches * wheelNotch;
  setFrame(frameIndex() + notches);
}, { passive: false });

show();
knob.focus();
</script>
</body>
</html>
)html";

}  // namespace Output
