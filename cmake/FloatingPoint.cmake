# Every pixel must come out with the same bits on every build: no fused
# multiply-add contraction, no fast-math reassociation.
add_compile_options(-ffp-contract=off -fno-fast-math)
