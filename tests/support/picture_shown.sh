# Whether a screenshot shows a picture, in the end-to-end test scripts:
# lit (mean above 0.08) and not one flat colour. A compositing manager paints
# its grey wherever a window has gone, and a toolkit's pane is one colour,
# both lit before the saver has drawn anything. Sourced, not run.
#   shows_picture IMAGE
shows_picture() {
  convert "$1" -format '%[fx:mean] %[fx:standard_deviation]\n' info: |
    awk '{ exit !($1 > 0.08 && $2 > 0.02) }'
}
